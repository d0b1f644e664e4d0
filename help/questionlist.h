#pragma once

#include <QHash>
#include <QString>

namespace bank {
struct QuestionPool;
}

// The question list, POOLLIST.hlp: every question the exam draws from, group by group, with its
// choices and its answer. The build writes the built-in bank's list with this; the program
// writes the list of a pool it has opened with the same code, so the two never differ in form.
namespace questionlist {

// A note on one question of the built-in bank: why its key is right, and the topic of the
// theory review or the rules guide that teaches it.
struct Note {
    QString text;
    QString document;    // "PRIMER.hlp" or "REGBOOK.hlp"
    QString anchor;      // the topic in that document
    QString linkHeading; // that topic's heading, the text of the link
};

// The name a note is filed under: the bank's group, a full stop, the index from 0 ("7.3").
QString rowName(int group, int index);

// The built-in bank's list. `notes` holds one note for every question, by rowName.
QString builtInList(const QHash<QString, Note>& notes);

// The list of a pool the learner opened: each question headed by its pool number, with its
// choices, its answer, its rule reference where the pool gives one, and its figure, shown as
// <img src="figure:G7-1"> where the pool holds it and named as missing where it does not.
QString poolList(const bank::QuestionPool& pool);

// The address a figure of a pool's list has in the list ("figure:G7-1").
QString figureSource(const QString& figure);

} // namespace questionlist

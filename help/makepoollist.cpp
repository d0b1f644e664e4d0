// Writes the list of examination questions, POOLLIST.hlp, from the question bank itself, so
// the list can never differ from the questions the exam asks. Run by the build.
//
// Each question is shown with its note from questionnotes.txt and a link to the topic of the
// theory review or the rules guide that teaches it. The build stops, naming the row, when a
// question has no note, a note has no link, or a link points at a topic that does not exist.
#include "helptopics.h"
#include "questionbank.h"
#include "questionlist.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdio>
#include <optional>

namespace {

// The documents a note may send the learner to.
constexpr std::array<const char*, 2> linkedDocuments{"PRIMER.hlp", "REGBOOK.hlp"};

using Note = questionlist::Note;

void complain(const QString& text)
{
    std::fprintf(stderr, "makepoollist: %s\n", qPrintable(text));
}

std::optional<QString> readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        complain(QStringLiteral("cannot read %1").arg(path));
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

// The topics of a help document, by anchor: the heading of each, as plain text.
QHash<QString, QString> topicHeadings(const QString& html)
{
    QHash<QString, QString> topics;
    for (const HelpTopic& topic : parseHelpTopics(html)) {
        if (!topic.anchor.isEmpty())
            topics.insert(topic.anchor, topic.heading);
    }
    return topics;
}

// Reads the notes, one entry per row:
//     7.3 PRIMER.hlp#md-ssb
//     The note, one paragraph that may wrap over several lines.
//     (a blank line)
// Lines that begin with # are comments. Every fault found is reported and clears `ok`.
QHash<QString, Note> readNotes(const QString& path, bool& ok)
{
    const std::optional<QString> text = readText(path);
    if (!text) {
        ok = false;
        return {};
    }
    static const QRegularExpression header(QStringLiteral(R"(^(\d+)\.(\d+)(?:\s+(\S+))?\s*$)"));
    static const QRegularExpression link(QStringLiteral(R"(^([A-Z]+\.hlp)#([A-Za-z0-9_-]+)$)"));

    QHash<QString, Note> notes;
    QString row;
    Note note;
    const auto finish = [&] {
        if (row.isEmpty())
            return;
        note.text = note.text.simplified();
        if (note.text.isEmpty()) {
            complain(QStringLiteral("%1: the note is empty").arg(row));
            ok = false;
        }
        notes.insert(row, note);
        row.clear();
    };
    const QStringList lines = text->split(QLatin1Char('\n'));
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const QString& line = lines.at(number);
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (line.trimmed().isEmpty()) {
            finish();
            continue;
        }
        if (!row.isEmpty()) {
            if (header.match(line).hasMatch()) {
                complain(QStringLiteral("%1, line %2: a new row inside the note of %3; a blank "
                                        "line must end each note")
                             .arg(path)
                             .arg(number + 1)
                             .arg(row));
                ok = false;
            }
            note.text += QLatin1Char(' ') + line;
            continue;
        }
        const QRegularExpressionMatch match = header.match(line);
        const int group = match.captured(1).toInt();
        const int index = match.captured(2).toInt();
        if (!match.hasMatch() || group < 1 || group > bank::groupCount || index < 0 ||
            index >= bank::questionsPerGroup) {
            complain(QStringLiteral("%1, line %2: expected a row such as 7.3 and its link, not "
                                    "\"%3\"")
                         .arg(path)
                         .arg(number + 1)
                         .arg(line));
            ok = false;
            continue;
        }
        row = questionlist::rowName(group, index);
        note = {};
        if (notes.contains(row)) {
            complain(QStringLiteral("%1: a second note for this row (line %2)")
                         .arg(row)
                         .arg(number + 1));
            ok = false;
        }
        const QRegularExpressionMatch target = link.match(match.captured(3));
        if (target.hasMatch()) {
            note.document = target.captured(1);
            note.anchor = target.captured(2);
        } else {
            complain(QStringLiteral("%1: the note has no link such as PRIMER.hlp#topic").arg(row));
            ok = false;
        }
    }
    finish();
    return notes;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3 + static_cast<int>(linkedDocuments.size())) {
        std::fprintf(stderr, "usage: %s OUTPUT-FILE NOTES-FILE PRIMER.hlp REGBOOK.hlp\n", argv[0]);
        return 2;
    }
    bool complete = true;
    const QHash<QString, Note> notes = readNotes(QString::fromLocal8Bit(argv[2]), complete);
    QHash<QString, QHash<QString, QString>> headings; // document -> anchor -> heading
    for (std::size_t i = 0; i < linkedDocuments.size(); ++i) {
        const std::optional<QString> html = readText(QString::fromLocal8Bit(argv[3 + i]));
        if (!html)
            return 1;
        headings.insert(QString::fromLatin1(linkedDocuments[i]), topicHeadings(*html));
    }
    for (int group = 1; group <= bank::groupCount; ++group) {
        for (int index = 0; index < bank::questionsPerGroup; ++index) {
            const QString row = questionlist::rowName(group, index);
            const auto note = notes.constFind(row);
            if (note == notes.cend()) {
                complain(QStringLiteral("%1: the question has no note").arg(row));
                complete = false;
            } else if (note->document.isEmpty()) {
                // reported while reading
            } else if (!headings.contains(note->document)) {
                complain(QStringLiteral("%1: %2 is not a document a note may link to")
                             .arg(row, note->document));
                complete = false;
            } else if (!headings.value(note->document).contains(note->anchor)) {
                complain(QStringLiteral("%1: %2 has no topic #%3")
                             .arg(row, note->document, note->anchor));
                complete = false;
            }
        }
    }
    if (!complete)
        return 1;

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        complain(QStringLiteral("cannot write %1").arg(file.fileName()));
        return 1;
    }
    // Each note's link is shown with the heading of the topic it leads to.
    QHash<QString, Note> shown = notes;
    for (Note& note : shown)
        note.linkHeading = headings.value(note.document).value(note.anchor);
    file.write(questionlist::builtInList(shown).toUtf8());
    return file.error() == QFile::NoError ? 0 : 1;
}

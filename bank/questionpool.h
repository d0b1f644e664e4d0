#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace bank {

// One question of a published question pool, as the pool gives it.
struct PoolQuestion {
    QString number;    // "G1A01": element letter, subelement digit, group letter, two digits
    char key = 0;      // 'A' to 'D'; 0 only in a withdrawn question without one
    QString reference; // the rule reference in brackets, "97.301(d)"; empty when none
    // The question, its lines joined by single spaces. Here and in the choices every run of
    // white space, no-break spaces included, is one plain space.
    QString text;
    std::array<QString, 4> choices; // the texts after "A." to "D.", without the letter; a
                                    // withdrawn question may lack some
    QString figure;                 // the figure the text names, "G7-1" or "T1"; empty when none
    bool withdrawn = false;         // the committee has withdrawn it: it is never drawn
    // Where it starts: a line of a text file, a paragraph of a .docx.
    int line = 0;
};

// One group: "G1A" and its title, and its questions in the order of the file.
struct PoolGroup {
    QString id;    // "G1A"
    QString title; // what follows the dash on the group's line
    QList<PoolQuestion> questions;
    // Positions in `questions` of those that can be drawn, in order; never empty in a pool
    // that was read.
    QList<int> drawable;
};

// An image of a figure: its bytes as stored, and the format they are in ("png", "jpeg", "gif",
// "bmp" or "svg").
struct PoolFigure {
    QByteArray data;
    QByteArray format;
};

// A question pool as published: its title line, its element, and its groups in the order of
// the file (which is the order of the exam).
struct QuestionPool {
    QString fileName; // the name of the file it was read from, without its folder
    QString title;    // the first line of the file, "2023-2027 General Class (Element 3) ..."
    char element = 0; // 'T' (Element 2), 'G' (Element 3) or 'E' (Element 4)
    QString years;    // "2023-2027" where the title states them, always with a hyphen-minus
                      // whatever dash the title uses; empty otherwise
    QList<PoolGroup> groups;
    QHash<QString, PoolFigure> figures; // by figure name, "G7-1"

    // "Technician", "General" or "Extra".
    QString className() const;
    // 2, 3 or 4.
    int elementNumber() const;
    // Correct answers needed to pass: 74 % of the questions, rounded up, which is 26 of 35 and
    // 37 of 50 as the examination rules set them.
    int passMark() const { return static_cast<int>((74 * groups.size() + 99) / 100); }
    // Every figure some question names, in the order they are first named.
    QStringList namedFigures() const;
};

// Why a file was refused: where (a line of a text file, a paragraph of a .docx; 0 for the file
// as a whole) and what, in plain words: "G5B07 has no choice D".
struct PoolFault {
    int line = 0;
    QString what;
    bool paragraph = false; // `line` counts the paragraphs of a .docx

    // "line 812: G5B07 has no choice D", "paragraph 40: ...", or just the words.
    QString where() const;
};

struct PoolReading {
    std::optional<QuestionPool> pool;
    PoolFault fault; // set when there is no pool
};

// The largest file taken as a pool; anything larger is refused before it is read.
inline constexpr qint64 largestPoolFile = 20 * 1024 * 1024;

// Reads a pool from the bytes of a file: a .docx (recognized by its content, a zip) or plain
// text (UTF-8 with or without a byte-order mark, or Windows-1252; CR LF or LF). Figures are
// taken from the images of a .docx only. Never touches the file system.
PoolReading readPool(const QByteArray& bytes, const QString& fileName);

// Reads the pool at `path`: refuses a file over largestPoolFile before reading it, then
// readPool, then looks beside the file for each named figure that the file did not hold
// (G7-1.png, .jpg, .jpeg or .svg).
PoolReading openPool(const QString& path);

// The whole message for a refused file: "Cannot open pool.txt: line 812: G5B07 has no choice D."
QString refusalMessage(const QString& fileName, const PoolFault& fault);

} // namespace bank

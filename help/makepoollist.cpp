// Writes the list of examination questions, POOLLIST.hlp, from the question bank itself, so
// the list can never differ from the questions the exam asks. Run by the build.
//
// Each question is shown with its note from questionnotes.txt and a link to the topic of the
// theory review or the rules guide that teaches it. The build stops, naming the row, when a
// question has no note, a note has no link, or a link points at a topic that does not exist.
#include "helptopics.h"
#include "questionbank.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <array>
#include <cstdio>
#include <optional>

namespace {

constexpr std::array<const char*, bank::groupCount> groupTopics{
    "General class frequency limits and who may use each band segment",
    "Antenna height, unforeseen situations, one-way transmissions, news, music, codes",
    "Transmitter power limits on particular frequencies",
    "Volunteer examiners, examination elements and the AG identifier",
    "Control of stations, repeaters, harmful interference, third parties, shared bands",
    "External RF amplifiers; symbol rates and bandwidth of data emissions",
    "Upper and lower sideband by band; single sideband compared with AM",
    "Nets, spacing between signals, band plans and choosing a frequency",
    "Distress and disaster communications, emergency declarations, RACES",
    "Amateur Auxiliary, direction finding, azimuthal maps, visitors, logs",
    "VOX, ITU regions, international rules, messages abroad",
    "Break-in CW and the digital modes: RTTY, Baudot, ASCII, AMTOR",
    "The sun and propagation: flares, solar flux, geomagnetic storms, sunspots",
    "Maximum usable frequency, beacons, the solar cycle, gray line, hop distances",
    "Ionospheric regions, critical angle, absorption, scatter, critical frequency",
    "Two-tone tests, TR switches and neutralizing amplifiers",
    "Oscilloscopes, signal tracers, noise bridges, field-strength meters, S units",
    "Interference to home electronics, audio rectification, grounding, the electrical code",
    "Speech processing, peak envelope power, household wiring and fuses",
    "Connectors, mobile power, generators, batteries, solar and wind power",
    "Impedance, reactance, coils and capacitors, matching, units",
    "Decibels, parallel circuits, power, transformers, peak and RMS voltage",
    "Resistors, capacitors, transformers and rectifiers in power supplies",
    "Bleeders, filters, peak inverse voltage, SSB transmitter and receiver stages",
    "Modulation and emissions, carrier suppression, bandwidth, overmodulation",
    "Mixers, multipliers, images, FM deviation and bandwidth, FSK, AMTOR",
    "Yagi antennas",
    "Cubical-quad and delta-loop antennas",
    "Random-wire, ground-plane and dipole antennas; parasitic elements and radials",
    "Feed lines, standing waves, matching and losses",
    "How RF energy affects the body; routine RF evaluations",
    "RF-safety rules, duty cycle and evaluation thresholds",
    "Field strength and power density against distance; near and far field",
    "Safe installation and repair of antennas and waveguides",
    "Remedies for too much RF exposure",
};

// The documents a note may send the learner to.
constexpr std::array<const char*, 2> linkedDocuments{"PRIMER.hlp", "REGBOOK.hlp"};

struct Note {
    QString text;
    QString document;
    QString anchor;
};

QString escaped(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

QString groupAnchor(int group)
{
    return QStringLiteral("group-%1").arg(group);
}

QString rowName(int group, int index)
{
    return QStringLiteral("%1.%2").arg(group).arg(index);
}

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
        row = rowName(group, index);
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
            const QString row = rowName(group, index);
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
    QTextStream out(&file);
    out << "<!-- qx9ven help document -->\n"
           "<html><head><title>General Exam Question List</title></head><body>\n"
           "<h1><a name=\"contents\"></a>General Exam Question List</h1>\n"
           "<p>All 385 questions the practice exam draws from, in 35 groups of 11. An exam "
           "takes one question from each group, in this order. Each question shows its four "
           "choices and the right one, a note on why it is right, and a link to the topic of "
           "the theory review or the rules guide that explains it.</p>\n<ol>\n";
    for (int group = 1; group <= bank::groupCount; ++group) {
        out << "<li><a href=\"#" << groupAnchor(group) << "\">"
            << QString::fromLatin1(groupTopics[static_cast<std::size_t>(group - 1)]).toHtmlEscaped()
            << "</a></li>\n";
    }
    out << "</ol>\n";

    for (int group = 1; group <= bank::groupCount; ++group) {
        out << "<h2><a name=\"" << groupAnchor(group) << "\"></a>Group " << group << ": "
            << QString::fromLatin1(groupTopics[static_cast<std::size_t>(group - 1)]).toHtmlEscaped()
            << "</h2>\n";
        for (int index = 0; index < bank::questionsPerGroup; ++index) {
            const QuestionRecord& record = bank::recordAt(group, index);
            const Note& note = *notes.constFind(rowName(group, index));
            // The anchor keeps the bank's own index; the heading counts from 1, as a learner does.
            out << "<h3><a name=\"q-" << group << '-' << index << "\"></a>Question " << group << '.'
                << index + 1 << "</h3>\n<p>" << escaped(record.questionText) << "</p>\n<ul>\n";
            for (const char letter : {'A', 'B', 'C', 'D'})
                out << "<li>" << escaped(record.choice(letter)) << "</li>\n";
            out << "</ul>\n<p><b>Answer: " << record.correctChoice << "</b></p>\n";
            if (!record.explanation.empty())
                out << "<p><i>Explanation:</i> " << escaped(record.explanation) << "</p>\n";
            out << "<p>" << note.text.toHtmlEscaped() << "</p>\n<p>Read more: <a href=\""
                << note.document << '#' << note.anchor << "\">"
                << headings.value(note.document).value(note.anchor).toHtmlEscaped() << "</a></p>\n";
        }
        out << "<p><a href=\"#contents\">Back to contents</a></p>\n";
    }
    out << "</body></html>\n";
    out.flush();
    return file.error() == QFile::NoError ? 0 : 1;
}

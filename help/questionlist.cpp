#include "questionlist.h"

#include "questionbank.h"
#include "questionpool.h"

#include <QTextStream>

#include <array>

namespace questionlist {

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

QString escaped(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

QString groupAnchor(int group)
{
    return QStringLiteral("group-%1").arg(group);
}

QString groupTopic(int group)
{
    return QString::fromLatin1(groupTopics[static_cast<std::size_t>(group - 1)]);
}

// The head of a list and its contents page, which is the list of groups.
void writeHead(QTextStream& out, const QString& title, const QString& introduction)
{
    out << "<!-- qx9ven help document -->\n<html><head><title>" << title.toHtmlEscaped()
        << "</title></head><body>\n<h1><a name=\"contents\"></a>" << title.toHtmlEscaped()
        << "</h1>\n<p>" << introduction.toHtmlEscaped() << "</p>\n";
}

} // namespace

QString rowName(int group, int index)
{
    return QStringLiteral("%1.%2").arg(group).arg(index);
}

QString builtInList(const QHash<QString, Note>& notes)
{
    QString html;
    QTextStream out(&html);
    writeHead(out, QStringLiteral("General Exam Question List"),
              QStringLiteral("All 385 questions the practice exam draws from, in 35 groups of 11. "
                             "An exam takes one question from each group, in this order. Each "
                             "question shows its four choices and the right one, a note on why it "
                             "is right, and a link to the topic of the theory review or the rules "
                             "guide that explains it."));
    out << "<ol>\n";
    for (int group = 1; group <= bank::groupCount; ++group) {
        out << "<li><a href=\"#" << groupAnchor(group) << "\">" << groupTopic(group).toHtmlEscaped()
            << "</a></li>\n";
    }
    out << "</ol>\n";

    for (int group = 1; group <= bank::groupCount; ++group) {
        out << "<h2><a name=\"" << groupAnchor(group) << "\"></a>Group " << group << ": "
            << groupTopic(group).toHtmlEscaped() << "</h2>\n";
        for (int index = 0; index < bank::questionsPerGroup; ++index) {
            const QuestionRecord& record = bank::recordAt(group, index);
            const Note note = notes.value(rowName(group, index));
            // The anchor keeps the bank's own index; the heading counts from 1, as a learner does.
            out << "<h3><a name=\"q-" << group << '-' << index << "\"></a>Question " << group << '.'
                << index + 1 << "</h3>\n<p>" << escaped(record.questionText) << "</p>\n<ul>\n";
            for (const char letter : {'A', 'B', 'C', 'D'})
                out << "<li>" << escaped(record.choice(letter)) << "</li>\n";
            out << "</ul>\n<p><b>Answer: " << record.correctChoice << "</b></p>\n";
            if (!record.explanation.empty())
                out << "<p><i>Explanation:</i> " << escaped(record.explanation) << "</p>\n";
            out << "<p>" << note.text.toHtmlEscaped() << "</p>\n<p>Read more: <a href=\""
                << note.document << '#' << note.anchor << "\">" << note.linkHeading.toHtmlEscaped()
                << "</a></p>\n";
        }
        out << "<p><a href=\"#contents\">Back to contents</a></p>\n";
    }
    out << "</body></html>\n";
    out.flush();
    return html;
}

QString figureSource(const QString& figure)
{
    return QStringLiteral("figure:") + figure;
}

QString poolList(const bank::QuestionPool& pool)
{
    qsizetype questions = 0;
    for (const bank::PoolGroup& group : pool.groups)
        questions += group.questions.size();
    const QString name = pool.title.isEmpty()
                             ? QStringLiteral("%1 Class (Element %2) Question Pool")
                                   .arg(pool.className())
                                   .arg(pool.elementNumber())
                             : pool.title;

    QString html;
    QTextStream out(&html);
    writeHead(out, name,
              QStringLiteral("The %1 questions of the question pool opened from %2, in %3 groups. "
                             "An exam takes one question from each group, in this order. Each "
                             "question shows its four choices, the right one, and the rule it "
                             "rests on where the pool names one. A question the pool marks as "
                             "withdrawn is listed but never drawn.")
                  .arg(questions)
                  .arg(pool.fileName)
                  .arg(pool.groups.size()));
    out << "<ol>\n";
    for (const bank::PoolGroup& group : pool.groups) {
        out << "<li><a href=\"#" << group.id.toLower() << "\">" << group.id << ": "
            << group.title.toHtmlEscaped() << "</a></li>\n";
    }
    out << "</ol>\n";
    for (const bank::PoolGroup& group : pool.groups) {
        out << "<h2><a name=\"" << group.id.toLower() << "\"></a>" << group.id << ": "
            << group.title.toHtmlEscaped() << "</h2>\n";
        for (const bank::PoolQuestion& question : group.questions) {
            out << "<h3><a name=\"" << question.number.toLower() << "\"></a>" << question.number
                << "</h3>\n<p>" << question.text.toHtmlEscaped() << "</p>\n";
            if (question.withdrawn) {
                out << "<p><i>Withdrawn from the pool: never drawn.</i></p>\n";
                continue;
            }
            out << "<ul>\n";
            for (std::size_t slot = 0; slot < question.choices.size(); ++slot) {
                out << "<li>" << QChar(u'A' + static_cast<char16_t>(slot)) << ". "
                    << question.choices.at(slot).toHtmlEscaped() << "</li>\n";
            }
            out << "</ul>\n<p><b>Answer: " << QLatin1Char(question.key) << "</b></p>\n";
            if (!question.reference.isEmpty())
                out << "<p>Rule: " << question.reference.toHtmlEscaped() << "</p>\n";
            if (!question.figure.isEmpty()) {
                if (pool.figures.contains(question.figure)) {
                    out << "<p><img src=\"" << figureSource(question.figure).toHtmlEscaped()
                        << "\" alt=\"Figure " << question.figure.toHtmlEscaped() << "\"><br>Figure "
                        << question.figure.toHtmlEscaped() << "</p>\n";
                } else {
                    out << "<p>Figure " << question.figure.toHtmlEscaped()
                        << " is not in the pool file.</p>\n";
                }
            }
        }
        out << "<p><a href=\"#contents\">Back to contents</a></p>\n";
    }
    out << "</body></html>\n";
    out.flush();
    return html;
}

} // namespace questionlist

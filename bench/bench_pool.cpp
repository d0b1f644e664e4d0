// Times readPool on a pool of 600 questions made up here, as plain text and as a .docx, and
// prints the median of some runs of each.

#include "pooldocx.h"
#include "questionpool.h"

#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// 50 groups of 12 questions, as an Extra pool is laid out, every question with a reference,
// two lines of text and four choices; every 25th names a figure.
QStringList poolLines()
{
    QStringList lines{QStringLiteral("2024-2028 Extra Class (Element 4) Question Pool"),
                      QStringLiteral("Made up for the benchmark."), QString()};
    int question = 0;
    for (int group = 0; group < 50; ++group) {
        const QString id = QStringLiteral("E%1%2")
                               .arg(group / 5 == 9 ? 0 : group / 5 + 1)
                               .arg(QChar(u'A' + group % 5));
        if (group % 5 == 0)
            lines << QStringLiteral("SUBELEMENT %1 \u2013 SUBJECT %2 [5 Exam Questions \u2013 5 "
                                    "Groups]")
                         .arg(id.first(2))
                         .arg(group / 5)
                  << QString();
        lines << QStringLiteral("%1 \u2013 Topics of group %1; more topics").arg(id) << QString();
        for (int n = 1; n <= 12; ++n, ++question) {
            lines << QStringLiteral("%1%2 (%3) [97.%4(b)]")
                         .arg(id)
                         .arg(n, 2, 10, QLatin1Char('0'))
                         .arg(QChar(u'A' + question % 4))
                         .arg(question)
                  << QStringLiteral("Which of these statements about the circuit of question %1 "
                                    "holds when the")
                         .arg(question)
                  << (question % 25 == 0
                          ? QStringLiteral("supply shown in figure E%1-%2 is switched on?")
                                .arg(group / 5 + 1)
                                .arg(n)
                          : QStringLiteral("supply is switched on and the load is connected?"))
                  << QStringLiteral("A. The current rises to %1 milliamperes at once").arg(question)
                  << QStringLiteral("B. The voltage falls by %1 percent").arg(question % 50)
                  << QStringLiteral("C. Nothing changes until the fuse opens")
                  << QStringLiteral("D. The output rings at %1 kHz for a moment").arg(question)
                  << QStringLiteral("~~") << QString();
        }
    }
    return lines;
}

double medianMs(const QByteArray& bytes, const QString& name, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const bank::PoolReading reading = bank::readPool(bytes, name);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (!reading.pool) {
            std::fprintf(stderr, "%s\n", qPrintable(reading.fault.where()));
            return -1;
        }
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    constexpr int runs = 21;
    const QStringList lines = poolLines();
    const QByteArray text = lines.join(u'\n').toUtf8();
    // Word cuts a paragraph into a few runs where it was edited; every three characters is
    // far worse than any document Word writes, and shows what the XML costs.
    const QByteArray docx = pooldocx::docx(lines, {}, 24);
    const QByteArray cutUp = pooldocx::docx(lines, {}, 3);
    const auto print = [&](const char* what, const QByteArray& bytes, const QString& name) {
        std::printf("  %-50s %7.1f ms   (%lld kB)\n", what, medianMs(bytes, name, runs),
                    static_cast<long long>(bytes.size() / 1024));
    };
    print("600 questions, plain text", text, QStringLiteral("bench.txt"));
    print("600 questions, .docx, runs of 24 characters", docx, QStringLiteral("bench.docx"));
    print("600 questions, .docx, runs of 3 characters", cutUp, QStringLiteral("bench.docx"));
    return 0;
}

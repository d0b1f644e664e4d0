#include "questionbank.h"
#include "runtimeerror.h"

#include <QTest>

#include <array>
#include <cmath>
#include <limits>

using namespace bank;

namespace {

struct StoppedWith {
    RuntimeError error;
};

// Turns the program's stop into an exception the test can catch.
void throwInsteadOfStopping(RuntimeError error)
{
    throw StoppedWith{error};
}

} // namespace

class TestQuestionBank : public QObject {
    Q_OBJECT

private slots:
    void init() { setRuntimeErrorHandler(&throwInsteadOfStopping); }
    void cleanup() { setRuntimeErrorHandler(nullptr); }

    void drawMapsToIndex_data()
    {
        QTest::addColumn<float>("r");
        QTest::addColumn<int>("index");
        QTest::newRow("zero gives the first question") << 0.0F << 0;
        QTest::newRow("smallest positive float gives the first question")
            << std::numeric_limits<float>::denorm_min() << 0;
        QTest::newRow("just below one eleventh stays at 0")
            << std::nextafter(1.0F / 11.0F, 0.0F) << 0;
        QTest::newRow("one half gives 5") << 0.5F << 5;
        QTest::newRow("ten elevenths gives 10") << 10.0F / 11.0F << 10;
        QTest::newRow("largest float below one gives 10") << std::nextafter(1.0F, 0.0F) << 10;
    }
    void drawMapsToIndex()
    {
        QFETCH(float, r);
        QFETCH(int, index);
        QCOMPARE(indexForDraw(r), index);
    }

    void faultyDrawStops_data()
    {
        QTest::addColumn<float>("r");
        QTest::addColumn<int>("error");
        QTest::newRow("not a number")
            << std::numeric_limits<float>::quiet_NaN() << int(RuntimeError::FloatingPoint);
        QTest::newRow("infinity") << std::numeric_limits<float>::infinity()
                                  << int(RuntimeError::FloatingPoint);
        QTest::newRow("beyond a 16-bit index") << 1.0e10F << int(RuntimeError::Overflow);
    }
    void faultyDrawStops()
    {
        QFETCH(float, r);
        QFETCH(int, error);
        try {
            indexForDraw(r);
            QFAIL("the draw should have stopped the program");
        } catch (const StoppedWith& stop) {
            QCOMPARE(int(stop.error), error);
        }
    }

    void seededDrawsCoverEveryIndexAndNeverEleven()
    {
        MersenneSource source(20260101U);
        std::array<int, 12> seen{};
        for (int i = 0; i < 200000; ++i) {
            const float r = source.next();
            QVERIFY(r >= 0.0F && r < 1.0F);
            const qint16 index = indexForDraw(r);
            QVERIFY(index >= 0 && index <= 11);
            ++seen[static_cast<std::size_t>(index)];
        }
        for (int index = 0; index <= 10; ++index)
            QVERIFY2(seen[static_cast<std::size_t>(index)] > 15000,
                     qPrintable(QStringLiteral("index %1 drawn too rarely").arg(index)));
        QCOMPARE(seen[11], 0);
    }

    void sameSeedGivesSameSequence()
    {
        MersenneSource first(7U);
        MersenneSource second(7U);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(first.next(), second.next());
    }

    void counterIncrementStopsPast32767()
    {
        QCOMPARE(checkedIncrement(0), qint16(1));
        QCOMPARE(checkedIncrement(32766), qint16(32767));
        try {
            checkedIncrement(32767);
            QFAIL("the increment should have stopped the program");
        } catch (const StoppedWith& stop) {
            QCOMPARE(stop.error, RuntimeError::Overflow);
        }
        QVERIFY(runtimeErrorMessage(RuntimeError::Overflow).contains(u"Overflow"));
    }

    void loadCopiesTextsAndKey_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("correctAnswer");
        QTest::addColumn<QString>("choiceD");
        QTest::newRow("one blank after the stop and a trailing blank (7.9)")
            << 7 << 9
            << QStringLiteral(
                   "A. Only the upper sideband is transmitted, since the opposite sideband is "
                   "suppressed ")
            << QStringLiteral("D. Only the upper sideband may be used for phone transmissions "
                              "on the amateur bands with frequencies above 14 MHz ");
        QTest::newRow("three blanks in a wrong choice (7.6)")
            << 7 << 6 << QStringLiteral("C.  Single sideband (SSB)")
            << QStringLiteral("D.   Phase modulation (PM)");
        QTest::newRow("shared choices keyed C (3.1)")
            << 3 << 1 << QStringLiteral("C.  1500 watts PEP output")
            << QStringLiteral("D.  2000 watts PEP output");
        QTest::newRow("shared choices keyed A (3.2)")
            << 3 << 2 << QStringLiteral("A.  200 watts PEP output")
            << QStringLiteral("D.  2000 watts PEP output");
        QTest::newRow("trailing blanks on every choice (11.9)")
            << 11 << 9 << QStringLiteral("D.  International Telecommunications Union ")
            << QStringLiteral("D.  International Telecommunications Union ");
    }
    void loadCopiesTextsAndKey()
    {
        QFETCH(int, group);
        QFETCH(int, index);
        QFETCH(QString, correctAnswer);
        QFETCH(QString, choiceD);
        LoadedQuestion state;
        loadQuestion(group, index, state);
        QCOMPARE(state.correctAnswer, correctAnswer);
        QCOMPARE(state.choiceD, choiceD);
        QCOMPARE(state.questionText, QString::fromLatin1(recordAt(group, index).questionText));
    }

    void explanationNeverCarriesOver()
    {
        LoadedQuestion state;
        const QString withExplanation = loadQuestion(14, 0, state);
        QVERIFY(withExplanation.startsWith(QStringLiteral("      The closest amateur")));
        QVERIFY(loadQuestion(14, 4, state).isEmpty());
        QVERIFY(state.questionText.startsWith(QStringLiteral("What usually happens")));
    }

    void everyLoadKeysExactlyOneChoice()
    {
        LoadedQuestion state;
        int explanations = 0;
        for (int group = 1; group <= groupCount; ++group) {
            for (int index = 0; index < questionsPerGroup; ++index) {
                explanations += loadQuestion(group, index, state).isEmpty() ? 0 : 1;
                const std::array<QString, 4> choices{state.choiceA, state.choiceB, state.choiceC,
                                                     state.choiceD};
                const auto equal = std::count(choices.begin(), choices.end(), state.correctAnswer);
                QVERIFY2(equal == 1, qPrintable(QStringLiteral("%1.%2").arg(group).arg(index)));
                const QChar key = QLatin1Char(recordAt(group, index).correctChoice);
                QCOMPARE(state.correctAnswer.at(0), key);
            }
        }
        QCOMPARE(explanations, 36);
    }

    void mendedExplanationsTeachTheRightFigure_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("phrase");
        QTest::newRow("20 m band edge (14.1)") << 14 << 1 << QStringLiteral("14.0-14.35 MHz");
        QTest::newRow("20 m band edge (14.5)") << 14 << 5 << QStringLiteral("14.0-14.35 MHz");
        QTest::newRow("100 V peak from 200 V p-p (19.3)")
            << 19 << 3 << QStringLiteral("100 = [(0.707 * 100)((0.707 * 100)]/50.");
        QTest::newRow("0.2 A at 12 V (22.3)") << 22 << 3 << QStringLiteral("= 2.4 watts");
        QTest::newRow("multiplier factor (26.6)")
            << 26 << 6
            << QStringLiteral("Transmission frequency divided by oscillator frequency = "
                              "multiplication factor; i.e. 146.52 MHz / 12.21 MHz = 12.");
        QTest::newRow("quad side at 14.3 MHz (28.1)")
            << 28 << 1 << QStringLiteral("1005 / 14.3 MHz / 4 = 17.6 feet");
        QTest::newRow("delta-loop reflector (28.5)") << 28 << 5 << QStringLiteral("24.35 feet");
    }
    void mendedExplanationsTeachTheRightFigure()
    {
        QFETCH(int, group);
        QFETCH(int, index);
        QFETCH(QString, phrase);
        LoadedQuestion state;
        const QString explanation = loadQuestion(group, index, state);
        QVERIFY2(explanation.contains(phrase), qPrintable(explanation));
        QVERIFY(!explanation.contains(u"21.35"));
        QVERIFY(!explanation.contains(u"21.4 MHz") || group != 28);
    }
};

QTEST_GUILESS_MAIN(TestQuestionBank)
#include "tst_questionbank.moc"

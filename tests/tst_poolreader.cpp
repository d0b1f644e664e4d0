#include "pooldocx.h"
#include "questionpool.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace bank;

namespace {

QString poolText()
{
    QFile file(QStringLiteral(QX_TEST_POOL_DIR "/general.txt"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the test pool cannot be read");
    return QString::fromUtf8(file.readAll());
}

// A whole pool as text, line numbers included, so that two readings compare at once.
QString digest(const QuestionPool& pool)
{
    QStringList lines{pool.title, pool.years, QString(QLatin1Char(pool.element))};
    for (const PoolGroup& group : pool.groups) {
        lines << group.id + u' ' + group.title;
        for (const PoolQuestion& q : group.questions)
            lines << QStringList{QString::number(q.line),
                                 q.number,
                                 QString(QLatin1Char(q.key)),
                                 q.reference,
                                 q.text,
                                 q.choices[0],
                                 q.choices[1],
                                 q.choices[2],
                                 q.choices[3],
                                 q.figure,
                                 q.withdrawn ? QStringLiteral("withdrawn") : QString()}
                         .join(u'|');
        for (const int drawable : group.drawable)
            lines << QString::number(drawable);
    }
    return lines.join(u'\n');
}

// The line of `text` that first holds `marker`, counted from 1.
int lineOf(const QString& text, const QString& marker)
{
    const qsizetype at = text.indexOf(marker);
    return at < 0 ? -1 : static_cast<int>(text.first(at).count(u'\n')) + 1;
}

// The test pool's curly quotes, en dash and no-break space as Windows-1252 bytes; the rest of
// it is ASCII.
QByteArray windows1252(const QString& text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case 0x2019:
            bytes += '\x92';
            break;
        case 0x201c:
            bytes += '\x93';
            break;
        case 0x201d:
            bytes += '\x94';
            break;
        case 0x2013:
            bytes += '\x96';
            break;
        case 0x00a0:
            bytes += '\xa0';
            break;
        default:
            if (c.unicode() >= 0x80)
                qFatal("the test pool holds a character that is not in the table");
            bytes += static_cast<char>(c.unicode());
        }
    }
    return bytes;
}

QStringList poolLines()
{
    return poolText().split(u'\n');
}

const PoolQuestion* findQuestion(const QuestionPool& pool, const QString& number)
{
    for (const PoolGroup& group : pool.groups) {
        for (const PoolQuestion& question : group.questions) {
            if (question.number == number)
                return &question;
        }
    }
    return nullptr;
}

} // namespace

class TestPoolReader : public QObject {
    Q_OBJECT

private slots:
    void readsThePublishedForm()
    {
        const PoolReading reading = readPool(poolText().toUtf8(), QStringLiteral("/tmp/g.txt"));
        QVERIFY2(reading.pool, qPrintable(reading.fault.where()));
        const QuestionPool& pool = *reading.pool;
        QCOMPARE(pool.fileName, QStringLiteral("g.txt"));
        QCOMPARE(pool.title, QStringLiteral("2023-2027 General Class (Element 3) Question Pool"));
        QCOMPARE(pool.years, QStringLiteral("2023-2027"));
        QCOMPARE(pool.element, 'G');
        QCOMPARE(pool.className(), QStringLiteral("General"));
        QCOMPARE(pool.elementNumber(), 3);
        // Neither the syllabus before the first SUBELEMENT line nor the group line after the
        // last question is a group; subelement 0 stays last, as in the file.
        QStringList ids;
        for (const PoolGroup& group : pool.groups)
            ids << group.id;
        QCOMPARE(ids, (QStringList{QStringLiteral("G1A"), QStringLiteral("G1B"),
                                   QStringLiteral("G7A"), QStringLiteral("G0A")}));
        QCOMPARE(pool.groups[0].title,
                 QStringLiteral("Frequency privileges of a General class control operator; band "
                                "edges"));
        QCOMPARE(pool.groups[0].questions.size(), 5);
        QCOMPARE(pool.groups[0].drawable, (QList<int>{0, 1, 3, 4}));
        QCOMPARE(pool.groups[0].questions[0].line, 13);
        QCOMPARE(pool.namedFigures(),
                 (QStringList{QStringLiteral("G7-1"), QStringLiteral("G7-2")}));
        QVERIFY(pool.figures.isEmpty());
        QCOMPARE(pool.passMark(), 3);
    }

    void passMark_data()
    {
        QTest::addColumn<int>("groups");
        QTest::addColumn<int>("mark");
        QTest::newRow("35 questions") << 35 << 26;
        QTest::newRow("50 questions") << 50 << 37;
    }
    void passMark()
    {
        QFETCH(int, groups);
        QFETCH(int, mark);
        QuestionPool pool;
        pool.groups.resize(groups);
        QCOMPARE(pool.passMark(), mark);
    }

    // The pool's questions as the parser leaves them, and forms of the file that read the same.
    void questions_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("expected");
        const QString none;
        QTest::newRow("text joined from two lines")
            << none << none << QStringLiteral("G1A02") << QStringLiteral("text")
            << QStringLiteral("On which band are General class operators limited to CW, RTTY and "
                              "data emissions?");
        QTest::newRow("wrapped choice joined")
            << none << none << QStringLiteral("G1A04") << QStringLiteral("D")
            << QStringLiteral("Finish any contact that is already in progress, and then hand the "
                              "microphone to the licensee");
        QTest::newRow("curly quotes kept")
            << none << none << QStringLiteral("G1A05") << QStringLiteral("text")
            << QStringLiteral("Which part of the 80 meter band is kept for \u201cCW and data "
                              "only\u201d for a General class operator?");
        QTest::newRow("en dash kept, no-break space made a space")
            << none << none << QStringLiteral("G1A05") << QStringLiteral("A")
            << QStringLiteral("3.525\u20133.600 MHz");
        QTest::newRow("reference") << none << none << QStringLiteral("G1A01")
                                   << QStringLiteral("reference") << QStringLiteral("97.301(d)");
        QTest::newRow("empty brackets")
            << none << none << QStringLiteral("G7A02") << QStringLiteral("reference") << QString();
        QTest::newRow("figure in lower case") << none << none << QStringLiteral("G7A01")
                                              << QStringLiteral("figure") << QStringLiteral("G7-1");
        QTest::newRow("withdrawn, without choices")
            << none << none << QStringLiteral("G1A03") << QStringLiteral("withdrawn")
            << QStringLiteral("yes");
        QTest::newRow("a sentence about a withdrawal is a question")
            << none << none << QStringLiteral("G1A04") << QStringLiteral("withdrawn")
            << QStringLiteral("no");
        QTest::newRow("notice without brackets")
            << QStringLiteral("[This question has been withdrawn]")
            << QStringLiteral("Question withdrawn") << QStringLiteral("G1A03")
            << QStringLiteral("withdrawn") << QStringLiteral("yes");
        QTest::newRow("notice with its date")
            << QStringLiteral("[This question has been withdrawn]")
            << QStringLiteral("Question deleted by the QPC on 1 May 2024.")
            << QStringLiteral("G1A03") << QStringLiteral("withdrawn") << QStringLiteral("yes");
        QTest::newRow("notice in the brackets of the number's line")
            << QStringLiteral("(A) []\n[This question has been withdrawn]")
            << QStringLiteral("(X) [Question withdrawn]") << QStringLiteral("G1A03")
            << QStringLiteral("withdrawn") << QStringLiteral("yes");
        QTest::newRow("~~ missing before the next question")
            << QStringLiteral("D. 21.350 MHz\n~~\n") << QStringLiteral("D. 21.350 MHz\n")
            << QStringLiteral("G1A01") << QStringLiteral("D") << QStringLiteral("21.350 MHz");
        QTest::newRow("group line with a hyphen")
            << QStringLiteral("G1B \u2013 ") << QStringLiteral("G1B - ") << QStringLiteral("G1B01")
            << QStringLiteral("group")
            << QStringLiteral("Antenna structures; beacons; prohibited transmissions");
        QTest::newRow("group line with an em dash")
            << QStringLiteral("G1B \u2013 ") << QStringLiteral("G1B\u2014")
            << QStringLiteral("G1B01") << QStringLiteral("group")
            << QStringLiteral("Antenna structures; beacons; prohibited transmissions");
        QTest::newRow("key in lower case")
            << QStringLiteral("G1B01 (C)") << QStringLiteral("G1B01 ( c )")
            << QStringLiteral("G1B01") << QStringLiteral("key") << QStringLiteral("C");
        QTest::newRow("text on the number's line")
            << QStringLiteral("[97.113(a)(4)]\n") << QStringLiteral("[97.113(a)(4)]\u00a0")
            << QStringLiteral("G1B03") << QStringLiteral("text")
            << QStringLiteral("Which of these may an amateur station not transmit?");
    }
    void questions()
    {
        QFETCH(QString, find);
        QFETCH(QString, replace);
        QFETCH(QString, number);
        QFETCH(QString, part);
        QFETCH(QString, expected);
        QString text = poolText();
        if (!find.isEmpty()) {
            QVERIFY(text.contains(find));
            text.replace(text.indexOf(find), find.size(), replace);
        }
        const PoolReading reading = readPool(text.toUtf8(), QStringLiteral("g.txt"));
        QVERIFY2(reading.pool, qPrintable(reading.fault.where()));
        const PoolQuestion* q = findQuestion(*reading.pool, number);
        QVERIFY(q);
        QString actual;
        if (part == u"text")
            actual = q->text;
        else if (part.size() == 1)
            actual = q->choices[static_cast<std::size_t>(part[0].unicode() - u'A')];
        else if (part == u"reference")
            actual = q->reference;
        else if (part == u"figure")
            actual = q->figure;
        else if (part == u"key")
            actual = QString(QLatin1Char(q->key));
        else if (part == u"withdrawn")
            actual = q->withdrawn ? QStringLiteral("yes") : QStringLiteral("no");
        else if (part == u"group")
            actual = reading.pool->groups[1].title;
        QCOMPARE(actual, expected);
    }

    // Every encoding and line end, and the .docx with its words cut into runs, read the same.
    void sameReadingInEveryForm_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = poolText();
        QString crlf = text;
        crlf.replace(u'\n', QStringLiteral("\r\n"));
        QTest::newRow("UTF-8 with a byte-order mark") << QByteArray("\xef\xbb\xbf" + text.toUtf8());
        QTest::newRow("UTF-8, CR LF") << crlf.toUtf8();
        QTest::newRow("Windows-1252, LF") << windows1252(text);
        QTest::newRow("Windows-1252, CR LF") << windows1252(crlf);
        QTest::newRow(".docx, runs, tabs and breaks") << pooldocx::docx(poolLines());
    }
    void sameReadingInEveryForm()
    {
        QFETCH(QByteArray, bytes);
        const PoolReading plain = readPool(poolText().toUtf8(), QStringLiteral("g.txt"));
        const PoolReading reading = readPool(bytes, QStringLiteral("g"));
        QVERIFY2(reading.pool, qPrintable(reading.fault.where()));
        QCOMPARE(digest(*reading.pool), digest(*plain.pool));
    }

    // A picture in the .docx is the figure its caption names: the caption in the picture's own
    // paragraph, or the nearest one after or before it.
    void docxFigures_data()
    {
        QTest::addColumn<int>("fromCaption");
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("caption beside the picture") << 0 << pooldocx::png() << QByteArray("png");
        QTest::newRow("caption after the picture") << -1 << pooldocx::png() << QByteArray("png");
        QTest::newRow("caption before the picture") << 1 << pooldocx::png() << QByteArray("png");
        QTest::newRow("caption too far away") << -6 << pooldocx::png() << QByteArray();
        QTest::newRow("a format no one can show")
            << 0 << QByteArray("\x01\x00\x00\x00 EMF", 8) << QByteArray();
    }
    void docxFigures()
    {
        QFETCH(int, fromCaption);
        QFETCH(QByteArray, image);
        QFETCH(QByteArray, format);
        const QStringList lines = poolLines();
        const int caption = static_cast<int>(lines.indexOf(QStringLiteral("Figure G7-1")));
        const PoolReading reading = readPool(
            pooldocx::docx(lines, {{caption + fromCaption, {QStringLiteral("image1.png"), image}}}),
            QStringLiteral("g.docx"));
        QVERIFY2(reading.pool, qPrintable(reading.fault.where()));
        QCOMPARE(reading.pool->figures.value(QStringLiteral("G7-1")).format, format);
        QCOMPARE(reading.pool->figures.value(QStringLiteral("G7-1")).data.isEmpty(),
                 format.isEmpty());
        QCOMPARE(reading.pool->figures.size(), format.isEmpty() ? 0 : 1);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<QString>("at");      // the line holding this is the fault's
        QTest::addColumn<QString>("firstAt"); // the line holding this is %1 in the message
        QTest::addColumn<QString>("message");
        const QString none;
        QTest::newRow("not a pool")
            << none << QStringLiteral("Shopping list\r\nEggs, flour and milk\r\n") << none << none
            << QStringLiteral("no question such as G1A01 (C) was found: this is not a question "
                              "pool");
        QTest::newRow("no choice D")
            << QStringLiteral("D. 30 meters\n") << none << QStringLiteral("G1A02 (D)") << none
            << QStringLiteral("G1A02 has no choice D");
        QTest::newRow("fifth choice")
            << QStringLiteral("D. 30 meters\n") << QStringLiteral("D. 30 meters\nE. 12 meters\n")
            << QStringLiteral("E. 12 meters") << none << QStringLiteral("G1A02 has a fifth choice");
        QTest::newRow("choices out of order")
            << QStringLiteral("B. 40 meters\nC. 15 meters\n")
            << QStringLiteral("C. 15 meters\nB. 40 meters\n") << QStringLiteral("C. 15 meters")
            << none << QStringLiteral("G1A02 has choice C where choice B should be");
        QTest::newRow("empty choice")
            << QStringLiteral("C. 15 meters") << QStringLiteral("C.") << QStringLiteral("C.\nD. 30")
            << none << QStringLiteral("G1A02 has an empty choice C");
        QTest::newRow("key not A to D")
            << QStringLiteral("G1A02 (D)") << QStringLiteral("G1A02 (F)")
            << QStringLiteral("G1A02 (F)") << none
            << QStringLiteral("G1A02 has the key (F); a key must be A, B, C or D");
        QTest::newRow("no key") << QStringLiteral("G1A02 (D)") << QStringLiteral("G1A02")
                                << QStringLiteral("G1A02 [") << none
                                << QStringLiteral(
                                       "G1A02 has no key, such as (C), after its number");
        QTest::newRow("number given twice")
            << QStringLiteral("G1A04 (C)") << QStringLiteral("G1A02 (C)")
            << QStringLiteral("G1A02 (C)") << QStringLiteral("G1A02 (D)")
            << QStringLiteral("G1A02 is given twice; first at line %1");
        QTest::newRow("under another group")
            << QStringLiteral("G1B02 (B)") << QStringLiteral("G1C02 (B)") << QStringLiteral("G1C02")
            << none << QStringLiteral("G1C02 stands under group G1B");
        QTest::newRow("before any group line")
            << QStringLiteral("G1A \u2013 Frequency privileges of a")
            << QStringLiteral("Privileges of a") << QStringLiteral("G1A01 (B)") << none
            << QStringLiteral("G1A01 stands before any group line");
        QTest::newRow("before any SUBELEMENT line")
            << QStringLiteral("SUBELEMENT G1") << QStringLiteral("Subelement G1")
            << QStringLiteral("G1A01 (B)") << none
            << QStringLiteral("G1A01 stands before any SUBELEMENT line");
        QTest::newRow("group with nothing to draw")
            << QStringLiteral("SUBELEMENT G7")
            << QStringLiteral("G1C \u2013 Withdrawn\nG1C01 (A)\nQuestion withdrawn\n~~\n"
                              "SUBELEMENT G7")
            << QStringLiteral("G1C \u2013") << none
            << QStringLiteral("group G1C has no question that can be drawn");
        QTest::newRow("group given twice")
            << QStringLiteral("G1B \u2013 Antenna") << QStringLiteral("G1A \u2013 Antenna")
            << QStringLiteral("G1A \u2013 Antenna")
            << QStringLiteral("G1A \u2013 Frequency privileges of a")
            << QStringLiteral("group G1A is given twice; first at line %1");
        QTest::newRow("two elements")
            << QStringLiteral("G0A02 (A)") << QStringLiteral("E0A02 (A)") << QStringLiteral("E0A02")
            << none << QStringLiteral("E0A02 is an Element 4 question in an Element 3 pool");
        QTest::newRow("no question text")
            << QStringLiteral("How many beacon stations may one licensee operate in one band from "
                              "the same place?\n")
            << none << QStringLiteral("G1B02 (B)") << none
            << QStringLiteral("G1B02 has no question text");
    }
    void refusals()
    {
        QFETCH(QString, find);
        QFETCH(QString, replace);
        QFETCH(QString, at);
        QFETCH(QString, firstAt);
        QFETCH(QString, message);
        QString text = poolText();
        if (find.isEmpty()) {
            text = replace;
        } else {
            QVERIFY(text.contains(find));
            text.replace(text.indexOf(find), find.size(), replace);
        }
        if (!firstAt.isEmpty())
            message = message.arg(lineOf(text, firstAt));
        const PoolReading reading = readPool(text.toUtf8(), QStringLiteral("g.txt"));
        QVERIFY(!reading.pool);
        QCOMPARE(reading.fault.what, message);
        QCOMPARE(reading.fault.line, at.isEmpty() ? 0 : lineOf(text, at));
    }

    void docxRefusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("where"); // how the fault's where() starts
        const QByteArray whole = pooldocx::docx(poolLines());
        QTest::newRow("cut short") << whole.first(whole.size() / 2)
                                   << QStringLiteral("the .docx file is damaged: it is not a zip "
                                                     "archive that can be read");
        QTest::newRow("no document") << pooldocx::zip({{QStringLiteral("word/styles.xml"), "<x/>"}})
                                     << QStringLiteral("the .docx file is damaged: it holds no "
                                                       "word/document.xml");
        QTest::newRow("not XML")
            << pooldocx::zip({{QStringLiteral("word/document.xml"), "<w:document><w:p>"}})
            << QStringLiteral("the .docx file is damaged: word/document.xml is not well-formed "
                              "XML (line 1: ");
        // A changed byte of a stored document fails its checksum.
        QByteArray changed = pooldocx::zip(
            {{QStringLiteral("word/document.xml"), pooldocx::documentXml("<w:p/>"), 0}});
        changed[changed.indexOf("<w:body>") + 2] = 'x';
        QTest::newRow("changed byte") << changed
                                      << QStringLiteral("the .docx file is damaged: "
                                                        "word/document.xml cannot be unpacked");
        QList<pooldocx::Entry> many;
        for (int i = 0; i <= 1000; ++i)
            many.append({QStringLiteral("word/media/%1.png").arg(i), "", 0});
        QTest::newRow("too many files")
            << pooldocx::zip(many)
            << QStringLiteral("the .docx file holds more than 1000 files, too many for a question "
                              "pool");
        const QStringList lines = poolLines();
        const int caption = static_cast<int>(lines.indexOf(QStringLiteral("Figure G7-1")));
        QTest::newRow("image over 16 MiB")
            << pooldocx::docx(
                   lines,
                   {{caption, {QStringLiteral("big.png"), QByteArray(16 * 1024 * 1024 + 1, '\0')}}})
            << QStringLiteral("the .docx file is too large: word/media/big.png unpacks to more "
                              "than 16 MiB");
        QStringList missingChoice = lines;
        missingChoice.removeOne(QStringLiteral("D. 30 meters"));
        QTest::newRow("fault in a paragraph")
            << pooldocx::docx(missingChoice)
            << QStringLiteral("paragraph %1: G1A02 has no choice D")
                   .arg(missingChoice.indexOf(QStringLiteral("G1A02 (D) [97.305]")) + 1);
    }
    void docxRefusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, where);
        const PoolReading reading = readPool(bytes, QStringLiteral("g.docx"));
        QVERIFY(!reading.pool);
        QVERIFY2(reading.fault.where().startsWith(where), qPrintable(reading.fault.where()));
    }

    void figuresBesideTheFile()
    {
        QTemporaryDir folder;
        const auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write(QStringLiteral("G-pool.txt"), poolText().toUtf8());
        write(QStringLiteral("g7-1.png"), pooldocx::png());
        write(QStringLiteral("G7-2.svg"), "<?xml version=\"1.0\"?>\n<svg width=\"1\"/>");
        const PoolReading reading = openPool(folder.filePath(QStringLiteral("G-pool.txt")));
        QVERIFY2(reading.pool, qPrintable(reading.fault.where()));
        QCOMPARE(reading.pool->fileName, QStringLiteral("G-pool.txt"));
        QCOMPARE(reading.pool->figures.value(QStringLiteral("G7-1")).data, pooldocx::png());
        QCOMPARE(reading.pool->figures.value(QStringLiteral("G7-2")).format, QByteArray("svg"));
    }

    void fileSize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("what");
        QTest::newRow("20 MiB is read")
            << largestPoolFile
            << QStringLiteral("no question such as G1A01 (C) was found: this is not a question "
                              "pool");
        QTest::newRow("a byte more is refused unread")
            << largestPoolFile + 1
            << QStringLiteral("the file is larger than 20 MiB, too large for a question pool");
        QTest::newRow("no file") << qint64(-1) << QStringLiteral("the file does not exist");
    }
    void fileSize()
    {
        QFETCH(qint64, size);
        QFETCH(QString, what);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("pool.txt"));
        if (size >= 0) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(size));
        }
        const PoolReading reading = openPool(path);
        QVERIFY(!reading.pool);
        QCOMPARE(reading.fault.where(), what);
    }

    void refusalMessage_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("paragraph");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("message");
        QTest::newRow("line") << 812 << false << QStringLiteral("G5B07 has no choice D")
                              << QStringLiteral("Cannot open G-pool.txt: line 812: G5B07 has no "
                                                "choice D.");
        QTest::newRow("paragraph") << 40 << true << QStringLiteral("G5B07 has a fifth choice")
                                   << QStringLiteral("Cannot open G-pool.txt: paragraph 40: G5B07 "
                                                     "has a fifth choice.");
        QTest::newRow("whole file, its own full stop")
            << 0 << false << QStringLiteral("the file does not exist.")
            << QStringLiteral("Cannot open G-pool.txt: the file does not exist.");
    }
    void refusalMessage()
    {
        QFETCH(int, line);
        QFETCH(bool, paragraph);
        QFETCH(QString, what);
        QFETCH(QString, message);
        QCOMPARE(
            bank::refusalMessage(QStringLiteral("G-pool.txt"), PoolFault{line, what, paragraph}),
            message);
    }
};

QTEST_GUILESS_MAIN(TestPoolReader)
#include "tst_poolreader.moc"

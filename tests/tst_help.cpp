#include "form1.h"
#include "helpdocument.h"
#include "helpfile.h"
#include "helpviewer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {

const QByteArray header = QByteArrayLiteral("<!-- qx9ven help document -->\n");

const QByteArray smallDocument =
    header +
    "<html><head><title>Small</title></head><body>"
    "<h1><a name=\"contents\"></a>Small</h1><p><a href=\"#far\">Far topic</a> "
    "<a href=\"https://example.invalid/\">outside</a> "
    "<a href=\"REGBOOK.hlp\">another file</a></p>" +
    QByteArray(400, ' ').replace(' ', "<p>filler line</p>") +
    "<h2><a name=\"far\"></a>Far topic</h2><p>needle in the far topic</p></body></html>";

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

class FixedDraw final : public bank::UniformSource {
public:
    void seedFromClock() override {}
    float next() override { return 0.3F; }
};

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        helpfile::set(QString());
        QVERIFY(folder.isValid() && second.isValid());
    }
    void cleanup()
    {
        delete form;
        form = nullptr;
    }

    void unusableDocumentIsRefused_data();
    void unusableDocumentIsRefused();
    void lookupGoesBesideTheProgramFirst();
    void viewerStaysInsideItsDocument();
    void referenceCommandsOpenTheirDocument_data();
    void referenceCommandsOpenTheirDocument();
    void f1OpensNothingBeforeACommandAndTheLastOneAfter();
    void missingDocumentLeavesTheExamAlone();
    void closingTheWindowEndsTheProgramWithTheViewerOpen();
    void questionListHoldsEveryQuestionAndKey();

private:
    void openForm(const QStringList& helpFolders)
    {
        form = new Form1(&draw);
        form->helpViewer().setSearchFolders(helpFolders);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
    }

    QTemporaryDir folder;
    QTemporaryDir second;
    FixedDraw draw;
    Form1* form = nullptr;
};

void TestHelp::unusableDocumentIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // written under `name` unless null
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QStringLiteral("NONE.hlp") << QByteArray()
                             << QStringLiteral("No such document");
    QTest::newRow("empty") << QStringLiteral("EMPTY.hlp") << QByteArray("")
                           << QStringLiteral("empty");
    QTest::newRow("binary junk") << QStringLiteral("JUNK.hlp")
                                 << QByteArray("\x7f"
                                               "ELF\x02\x01\x01\0\0\0",
                                               10)
                                 << QStringLiteral("not a text document");
    QTest::newRow("not UTF-8") << QStringLiteral("LATIN.hlp") << header + "caf\xe9 \xff\xfe"
                               << QStringLiteral("not a text document");
    QTest::newRow("someone else's HTML")
        << QStringLiteral("OTHER.hlp") << QByteArray("<html><script>x()</script></html>")
        << QStringLiteral("not a help document");
    QTest::newRow("a path instead of a name") << QStringLiteral("../secret.hlp") << QByteArray()
                                              << QStringLiteral("not a plain document name");
    QTest::newRow("an absolute path") << QStringLiteral("/etc/hostname") << QByteArray()
                                      << QStringLiteral("not a plain document name");
}

void TestHelp::unusableDocumentIsRefused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    if (!bytes.isNull())
        writeFile(folder.filePath(name), bytes);
    const HelpDocument document = HelpDocument::load(name, {folder.path()});
    QVERIFY(!document.ok());
    QVERIFY2(document.problem.contains(reason), qPrintable(document.problem));
    QVERIFY(document.html.isEmpty());
}

void TestHelp::lookupGoesBesideTheProgramFirst()
{
    writeFile(second.filePath(QStringLiteral("A.hlp")), smallDocument);
    HelpDocument found =
        HelpDocument::load(QStringLiteral("A.hlp"), {folder.path(), second.path()});
    QVERIFY(found.ok());
    QCOMPARE(found.path, second.filePath(QStringLiteral("A.hlp")));

    writeFile(folder.filePath(QStringLiteral("A.hlp")), smallDocument);
    found = HelpDocument::load(QStringLiteral("A.hlp"), {folder.path(), second.path()});
    QCOMPARE(found.path, folder.filePath(QStringLiteral("A.hlp")));

    // A folder or a huge file in the first place is reported, not skipped over.
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("B.hlp")));
    writeFile(second.filePath(QStringLiteral("B.hlp")), smallDocument);
    found = HelpDocument::load(QStringLiteral("B.hlp"), {folder.path(), second.path()});
    QVERIFY(found.problem.contains(QStringLiteral("folder")));
    QFile huge(folder.filePath(QStringLiteral("C.hlp")));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(HelpDocument::largestSize + 1));
    huge.close();
    QVERIFY(HelpDocument::load(QStringLiteral("C.hlp"), {folder.path()})
                .problem.contains(QStringLiteral("too large")));

    // Installed under any prefix, the program finds the documents of its own installation; a
    // copy beside it still comes first.
    const QString bin = second.filePath(QStringLiteral("prefix/bin"));
    const QString data = second.filePath(QStringLiteral("prefix/share/qx9ven-general"));
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(data));
    writeFile(data + QStringLiteral("/D.hlp"), smallDocument);
    found = HelpDocument::load(QStringLiteral("D.hlp"), HelpDocument::defaultFolders(bin));
    QCOMPARE(found.path, data + QStringLiteral("/D.hlp"));
    writeFile(bin + QStringLiteral("/D.hlp"), smallDocument);
    found = HelpDocument::load(QStringLiteral("D.hlp"), HelpDocument::defaultFolders(bin));
    QCOMPARE(found.path, bin + QStringLiteral("/D.hlp"));
}

void TestHelp::viewerStaysInsideItsDocument()
{
    writeFile(folder.filePath(QStringLiteral("SMALL.hlp")), smallDocument);
    HelpViewer viewer;
    viewer.setSearchFolders({folder.path()});
    viewer.showDocument(QStringLiteral("SMALL.hlp"));
    QVERIFY(viewer.isVisible());
    QTextBrowser* browser = viewer.browser();
    QCOMPARE(browser->documentTitle(), QStringLiteral("Small"));
    QCOMPARE(browser->verticalScrollBar()->value(), 0);

    browser->setSource(QUrl(QStringLiteral("#far")));
    QVERIFY(browser->verticalScrollBar()->value() > 0);
    QVERIFY(browser->isBackwardAvailable());
    browser->backward();
    QCOMPARE(browser->verticalScrollBar()->value(), 0);
    browser->forward();
    QVERIFY(browser->verticalScrollBar()->value() > 0);

    // Links out of the document lead nowhere, and the document stays.
    const QString before = browser->toPlainText();
    browser->setSource(QUrl(QStringLiteral("https://example.invalid/")));
    browser->setSource(QUrl(QStringLiteral("REGBOOK.hlp")));
    browser->setSource(QUrl::fromLocalFile(QStringLiteral("/etc/hostname")));
    QCOMPARE(browser->toPlainText(), before);

    QVERIFY(viewer.findText(QStringLiteral("needle")));
    QVERIFY(viewer.findText(QStringLiteral("needle"))); // goes round to the top
    QVERIFY(!viewer.findText(QStringLiteral("haystack")));

    // Asking for the same document again shows its contents page.
    viewer.showDocument(QStringLiteral("SMALL.hlp"));
    QCOMPARE(browser->verticalScrollBar()->value(), 0);
    QVERIFY(!browser->isBackwardAvailable());
}

void TestHelp::referenceCommandsOpenTheirDocument_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("document");
    QTest::newRow("THEORY REVIEW") << QStringLiteral("treview") << QStringLiteral("PRIMER.hlp");
    QTest::newRow("General Exam Question List")
        << QStringLiteral("geqlist") << QStringLiteral("POOLLIST.hlp");
    QTest::newRow("Part 97") << QStringLiteral("p97rules") << QStringLiteral("REGBOOK.hlp");
}

void TestHelp::referenceCommandsOpenTheirDocument()
{
    QFETCH(QString, item);
    QFETCH(QString, document);
    openForm({QStringLiteral(QX_TEST_HELP_DIR)});
    QAction* action = form->findChild<QAction*>(item);
    action->trigger();
    QCOMPARE(helpfile::current(), document);
    QCOMPARE(action->property("helpContextId"), QVariant(0));
    HelpViewer& viewer = form->helpViewer();
    QTRY_VERIFY(viewer.isVisible()); // the queued F1 has been handled
    QCOMPARE(viewer.document().name, document);
    QVERIFY2(viewer.document().ok(), qPrintable(viewer.document().problem));
    QCOMPARE(viewer.browser()->verticalScrollBar()->value(), 0);
    QVERIFY(viewer.browser()->toPlainText().size() > 1000);
}

void TestHelp::f1OpensNothingBeforeACommandAndTheLastOneAfter()
{
    openForm({QStringLiteral(QX_TEST_HELP_DIR)});
    QTest::keyClick(form, Qt::Key_F1);
    QVERIFY(!form->helpViewer().isVisible());

    form->findChild<QAction*>(QStringLiteral("treview"))->trigger();
    form->findChild<QAction*>(QStringLiteral("geqlist"))->trigger();
    QCOMPARE(helpfile::current(), QStringLiteral("POOLLIST.hlp"));
    QTRY_COMPARE(form->helpViewer().document().name, QStringLiteral("POOLLIST.hlp"));
    form->helpViewer().close();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1); // from a control in the window
    QVERIFY(form->helpViewer().isVisible());
    QCOMPARE(form->helpViewer().document().name, QStringLiteral("POOLLIST.hlp"));
}

void TestHelp::missingDocumentLeavesTheExamAlone()
{
    openForm({folder.path()});
    auto* option2 = form->findChild<QRadioButton*>(QStringLiteral("Option2"));
    QTest::mouseClick(option2, Qt::LeftButton);
    form->findChild<QRadioButton*>(QStringLiteral("Option6"))->click();
    QStringList captions;
    for (QLabel* label : form->findChildren<QLabel*>())
        captions << label->text();
    const exam::Exam& exam = form->exam();
    const auto counters = {exam.questionCount(), exam.correctCount(), exam.groupNumber(),
                           exam.questionIndex(), exam.selectedChoice()};

    form->findChild<QAction*>(QStringLiteral("p97rules"))->trigger();
    QTRY_VERIFY(form->helpViewer().isVisible());
    const QString report = form->helpViewer().browser()->toPlainText();
    QVERIFY(report.contains(QStringLiteral("REGBOOK.hlp")));
    QVERIFY(report.contains(folder.path()));

    QStringList after;
    for (QLabel* label : form->findChildren<QLabel*>())
        after << label->text();
    QCOMPARE(after, captions);
    QVERIFY(std::equal(counters.begin(), counters.end(),
                       std::initializer_list<qint16>{exam.questionCount(), exam.correctCount(),
                                                     exam.groupNumber(), exam.questionIndex(),
                                                     exam.selectedChoice()}
                           .begin()));
    QVERIFY(option2->isChecked());
    QVERIFY(form->findChild<QRadioButton*>(QStringLiteral("Option6"))->isChecked());
}

void TestHelp::closingTheWindowEndsTheProgramWithTheViewerOpen()
{
    openForm({QStringLiteral(QX_TEST_HELP_DIR)});
    form->findChild<QAction*>(QStringLiteral("geqlist"))->trigger();
    QTRY_VERIFY(form->helpViewer().isVisible());
    // The program's event loop ends when the window closes; a guard ends it otherwise.
    QTimer::singleShot(0, form, &QWidget::close);
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    guard.start(10000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(guard.isActive());
}

void TestHelp::questionListHoldsEveryQuestionAndKey()
{
    const HelpDocument list =
        HelpDocument::load(QStringLiteral("POOLLIST.hlp"), {QStringLiteral(QX_TEST_HELP_DIR)});
    QVERIFY2(list.ok(), qPrintable(list.problem));
    QCOMPARE(list.html.count(QStringLiteral("<b>Answer: ")), 385);
    for (int group = 1; group <= bank::groupCount; ++group) {
        for (int index = 0; index < bank::questionsPerGroup; ++index) {
            const QuestionRecord& record = bank::recordAt(group, index);
            // Numbered from 1 within the group, then the question, its key, its note and link.
            const QString heading =
                QStringLiteral("</a>Question %1.%2</h3>\n<p>").arg(group).arg(index + 1) +
                QString::fromLatin1(record.questionText).toHtmlEscaped();
            const qsizetype at = list.html.indexOf(heading);
            QVERIFY2(at >= 0, qPrintable(heading));
            const QString key = QStringLiteral("<b>Answer: %1</b>").arg(record.correctChoice);
            const qsizetype keyAt = list.html.indexOf(key, at);
            QVERIFY(keyAt > at);
            qsizetype next = list.html.indexOf(QStringLiteral("<h"), keyAt);
            if (next < 0)
                next = list.html.size();
            const qsizetype link =
                list.html.indexOf(QStringLiteral("<p>Read more: <a href=\""), keyAt);
            QVERIFY2(link > keyAt && link < next, qPrintable(heading));
        }
    }
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"

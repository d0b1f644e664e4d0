#include "form1.h"
#include "helpdocument.h"
#include "helpfile.h"
#include "helplibrary.h"
#include "helppage.h"
#include "helpviewer.h"
#include "questionlist.h"
#include "questionpool.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The exam window knows its viewer only as a HelpWindow; the tests look inside.
HelpViewer& viewerOf(Form1& form)
{
    return dynamic_cast<HelpViewer&>(form.helpWindow());
}

const QByteArray header = QByteArrayLiteral("<!-- qx9ven help document -->\n");

const QByteArray smallDocument =
    header +
    "<html><head><title>Small</title></head><body>"
    "<h1><a name=\"contents\"></a>Small</h1><p><a href=\"#far\">Far topic</a> "
    "<a href=\"https://example.invalid/\">outside</a> "
    "<a href=\"REGBOOK.hlp\">another file</a></p>" +
    QByteArray(400, ' ').replace(' ', "<p>filler line</p>") +
    "<h2><a name=\"far\"></a>Far topic</h2><p>needle in the far topic</p>" +
    QByteArray(100, ' ').replace(' ', "<p>more filler</p>") + "</body></html>";

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Shows one of the built documents in `viewer` and waits until the viewer is active.
bool showBuiltDocument(HelpViewer& viewer, const QString& name)
{
    viewer.setSearchFolders({QStringLiteral(QX_TEST_HELP_DIR)});
    viewer.showDocument(name);
    return QTest::qWaitForWindowActive(&viewer);
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
    void linksBetweenDocuments_data();
    void linksBetweenDocuments();
    void everyLinkLeadsToATopic();
    void search_data();
    void search();
    void viewerForAScreenReader();
    void placement_data();
    void placement();
    void referenceCommandsOpenTheirDocument_data();
    void referenceCommandsOpenTheirDocument();
    void f1OpensNothingBeforeACommandAndTheLastOneAfter();
    void missingDocumentLeavesTheExamAlone();
    void closingTheWindowEndsTheProgramWithTheViewerOpen();
    void questionListHoldsEveryQuestionAndKey();
    void openPoolHasItsOwnQuestionList();

private:
    void openForm(const QStringList& helpFolders)
    {
        form = new Form1(&draw);
        viewerOf(*form).setSearchFolders(helpFolders);
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
    HelpPage* page = viewer.page();
    QCOMPARE(page->documentTitle(), QStringLiteral("Small"));
    QCOMPARE(page->verticalScrollBar()->value(), 0);

    QVERIFY(viewer.openLink(QStringLiteral("#far")));
    QVERIFY(page->verticalScrollBar()->value() > 0);
    QCOMPARE(page->textCursor().selectedText(), QStringLiteral("Far topic"));
    QVERIFY(viewer.canGoBack());
    viewer.back();
    QCOMPARE(page->verticalScrollBar()->value(), 0);
    viewer.forward();
    QVERIFY(page->verticalScrollBar()->value() > 0);

    // Links out of the three documents lead nowhere, say why, and the document stays.
    const QString before = page->toPlainText();
    for (const char* href : {"https://example.invalid/", "REGBOOK.hlp", "file:///etc/hostname",
                             "../SMALL.hlp", "SMALL.hlp#far"}) {
        QVERIFY2(!viewer.openLink(QString::fromLatin1(href)), href);
        QVERIFY2(!viewer.status().isEmpty(), href);
    }
    QCOMPARE(page->toPlainText(), before);

    // Find goes round to the top, and brings what it finds into the upper half of the view.
    page->verticalScrollBar()->setValue(0);
    QVERIFY(viewer.findText(QStringLiteral("needle")));
    const QRect found = page->cursorRect(page->textCursor());
    QVERIFY(found.top() >= 0 && found.bottom() < page->viewport()->height() / 2);
    QVERIFY(viewer.findText(QStringLiteral("needle")));
    QVERIFY(!viewer.findText(QStringLiteral("haystack")));

    // Asking for the same document again shows its contents page with a new history.
    viewer.showDocument(QStringLiteral("SMALL.hlp"));
    QCOMPARE(page->verticalScrollBar()->value(), 0);
    QVERIFY(!viewer.canGoBack());
}

// Links from the theory review to the other documents; each row follows one and checks where
// the viewer is, or what it says when the link leads nowhere. Anchors come from the documents
// themselves, so that rows survive topics being added.
void TestHelp::linksBetweenDocuments_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("document"); // empty: the link leads nowhere
    QTest::addColumn<QString>("expected"); // the anchor reached, or words of the report
    HelpLibrary library({QStringLiteral(QX_TEST_HELP_DIR)});
    const QString ruleTopic = library.topics(QStringLiteral("REGBOOK.hlp")).at(2).anchor;
    QTest::newRow("a topic of the rules")
        << QStringLiteral("REGBOOK.hlp#") + ruleTopic << QStringLiteral("REGBOOK.hlp") << ruleTopic;
    QTest::newRow("a group of the question list")
        << QStringLiteral("POOLLIST.hlp#group-11") << QStringLiteral("POOLLIST.hlp")
        << QStringLiteral("group-11");
    QTest::newRow("the top of a document")
        << QStringLiteral("REGBOOK.hlp") << QStringLiteral("REGBOOK.hlp") << QString();
    QTest::newRow("a topic that does not exist")
        << QStringLiteral("REGBOOK.hlp#no-such-topic") << QString()
        << QStringLiteral("REGBOOK.hlp has no topic named \"no-such-topic\"");
    QTest::newRow("a document that does not exist")
        << QStringLiteral("NOTES.hlp#vox") << QString() << QStringLiteral("no help document");
    QTest::newRow("a file elsewhere") << QStringLiteral("/usr/share/REGBOOK.hlp") << QString()
                                      << QStringLiteral("outside the help documents");
}

void TestHelp::linksBetweenDocuments()
{
    QFETCH(QString, href);
    QFETCH(QString, document);
    QFETCH(QString, expected);
    HelpViewer viewer;
    QVERIFY(showBuiltDocument(viewer, QStringLiteral("PRIMER.hlp")));
    const QString primer = viewer.page()->toPlainText();

    QCOMPARE(viewer.openLink(href), !document.isEmpty());
    if (document.isEmpty()) {
        QVERIFY2(viewer.status().contains(expected), qPrintable(viewer.status()));
        QCOMPARE(viewer.document().name, QStringLiteral("PRIMER.hlp"));
        QCOMPARE(viewer.page()->toPlainText(), primer);
        QVERIFY(!viewer.canGoBack());
        return;
    }
    QCOMPARE(viewer.document().name, document);
    QCOMPARE(viewer.topic(), expected);
    QVERIFY(viewer.windowTitle().endsWith(QStringLiteral(" - ") + document));
    // The topic's heading is selected at the top of the view.
    HelpPage* page = viewer.page();
    QCOMPARE(page->textCursor().selectionStart(),
             expected.isEmpty() ? 0 : page->anchorPosition(expected));
    QVERIFY(qAbs(page->cursorRect(page->textCursor()).top()) < 20);

    // The history buttons' keys press them, which takes a moment.
    QTest::keyClick(page, Qt::Key_Left, Qt::AltModifier);
    QTRY_COMPARE(viewer.document().name, QStringLiteral("PRIMER.hlp"));
    QCOMPARE(page->toPlainText(), primer);
    QTest::keyClick(page, Qt::Key_Right, Qt::AltModifier);
    QTRY_COMPARE(viewer.document().name, document);
    QCOMPARE(viewer.topic(), expected);
}

// What the content of the three documents promises: every link leads to a topic that exists.
void TestHelp::everyLinkLeadsToATopic()
{
    HelpLibrary library({QStringLiteral(QX_TEST_HELP_DIR)});
    int links = 0;
    for (const QString& name : HelpLibrary::documentNames()) {
        for (const HelpTopic& topic : library.topics(name)) {
            for (const QString& href : topic.links) {
                const HelpLink link = library.resolve(name, href);
                QVERIFY2(link.ok(), qPrintable(name + QLatin1Char(' ') + link.problem));
                ++links;
            }
        }
    }
    QVERIFY(links > 100);
}

// Each row searches the three documents and names a topic that must be among the results, or
// none for a search that must find nothing. Phrases are taken from the documents themselves.
void TestHelp::search_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("document"); // empty: nothing is found
    QTest::addColumn<QString>("anchor");
    HelpLibrary library({QStringLiteral(QX_TEST_HELP_DIR)});
    for (const QString& name : HelpLibrary::documentNames()) {
        const HelpTopic& topic = library.topics(name).at(3);
        const QStringList words =
            topic.text.section(QLatin1Char('\n'), 0, 0).split(QLatin1Char(' '));
        const QString phrase = words.mid(1, 4).join(QLatin1Char(' '));
        QTest::addRow("a phrase from %s", qPrintable(name))
            << QLatin1Char('"') + phrase.toUpper() + QLatin1Char('"') << name << topic.anchor;
    }
    // Question 10.6 of the bank asks about the long-path direction.
    QTest::newRow("all words in any order")
        << QStringLiteral("PATH long direction") << QStringLiteral("POOLLIST.hlp")
        << QStringLiteral("q-10-6");
    QTest::newRow("a section number")
        << QStringLiteral("97.119") << QStringLiteral("REGBOOK.hlp") << QStringLiteral("ident");
    QTest::newRow("a quoted phrase is not its words")
        << QStringLiteral("\"path long\"") << QString() << QString();
    QTest::newRow("a word matches at the start of a word")
        << QStringLiteral("ath ong") << QString() << QString();
    QTest::newRow("no match") << QStringLiteral("zqxw long") << QString() << QString();
}

void TestHelp::search()
{
    QFETCH(QString, query);
    QFETCH(QString, document);
    QFETCH(QString, anchor);
    HelpViewer viewer;
    QVERIFY(showBuiltDocument(viewer, QStringLiteral("REGBOOK.hlp")));
    const QList<HelpSearchHit> hits = viewer.library().search(query);
    auto* list = viewer.findChild<QListWidget*>(QStringLiteral("searchResults"));
    QCOMPARE(viewer.search(query), hits.size());
    if (document.isEmpty()) {
        QVERIFY(hits.isEmpty());
        QVERIFY(!list->isVisible());
        QVERIFY2(viewer.status().startsWith(QStringLiteral("No topic")),
                 qPrintable(viewer.status()));
        return;
    }
    const auto at = std::find_if(hits.begin(), hits.end(), [&](const HelpSearchHit& hit) {
        return hit.document == document && hit.anchor == anchor;
    });
    QVERIFY2(at != hits.end(), qPrintable(query));
    const HelpSearchHit& hit = *at;
    QVERIFY(!hit.snippet.isEmpty() && !hit.heading.isEmpty());
    // The list shows each result's document, heading and text, and has the focus; opening a
    // result shows its topic with the match marked in the upper part of the view and the caret
    // on the heading.
    QVERIFY(list->isVisible());
    QCOMPARE(QApplication::focusWidget(), list);
    const int row = static_cast<int>(at - hits.begin());
    QCOMPARE(list->item(row)->text(),
             hit.title + QStringLiteral(": ") + hit.heading + QLatin1Char('\n') + hit.snippet);
    viewer.openSearchResult(row);
    HelpPage* page = viewer.page();
    QCOMPARE(viewer.document().name, document);
    QCOMPARE(page->textCursor().position(), page->anchorPosition(anchor));
    QCOMPARE(QApplication::focusWidget(), page);
    QCOMPARE(page->extraSelections().size(), 1);
    const QTextCursor mark = page->extraSelections().constFirst().cursor;
    QVERIFY(hit.match.match(mark.selectedText()).hasMatch());
    QVERIFY2(hit.snippet.contains(mark.selectedText(), Qt::CaseInsensitive) || hit.matchInHeading,
             qPrintable(hit.snippet));
    const QRect shown = page->cursorRect(mark);
    QVERIFY(shown.top() >= 0 && shown.bottom() < page->viewport()->height() / 2);
    QVERIFY(viewer.canGoBack());
}

// What assistive technology learns of the viewer: its controls by role and name, a document
// with a caret and text, and links that Tab reaches and Enter follows.
void TestHelp::viewerForAScreenReader()
{
    HelpViewer viewer;
    QVERIFY(showBuiltDocument(viewer, QStringLiteral("PRIMER.hlp")));
    HelpPage* page = viewer.page();
    QCOMPARE(QApplication::focusWidget(), page);

    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(page);
    QCOMPARE(text->role(), QAccessible::EditableText);
    QCOMPARE(text->text(QAccessible::Name), QStringLiteral("Theory Review"));
    QVERIFY(text->state().readOnly && text->state().focused);
    QVERIFY(page->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    QAccessibleTextInterface* caret = text->textInterface();
    QVERIFY(caret != nullptr);
    QCOMPARE(caret->cursorPosition(), 0);
    int start = 0;
    int end = 0;
    QCOMPARE(caret->textAtOffset(0, QAccessible::LineBoundary, &start, &end).trimmed(),
             QStringLiteral("Theory Review"));
    QTest::keyClick(page, Qt::Key_Down);
    QVERIFY(caret->cursorPosition() > 0);

    QAccessibleInterface* search = QAccessible::queryAccessibleInterface(
        viewer.findChild<QLineEdit*>(QStringLiteral("searchField")));
    QCOMPARE(search->text(QAccessible::Name), QStringLiteral("Search all documents"));
    const auto labels = search->relations(QAccessible::Label);
    QVERIFY(!labels.isEmpty());
    QCOMPARE(labels.constFirst().first->text(QAccessible::Name),
             QStringLiteral("Search all documents:"));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(
        viewer.findChild<QListWidget*>(QStringLiteral("searchResults")));
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Search results"));

    // Tab selects the first link after the caret, Shift+Tab goes back; Enter follows it.
    QTest::keyClick(page, Qt::Key_Tab);
    QTest::keyClick(page, Qt::Key_Tab);
    const QString secondLink = page->textCursor().selectedText();
    QTest::keyClick(page, Qt::Key_Backtab);
    QVERIFY(!page->textCursor().selectedText().isEmpty());
    QTest::keyClick(page, Qt::Key_Tab);
    QCOMPARE(page->textCursor().selectedText(), secondLink);
    const QString href = page->linkAtCaret();
    QVERIFY(href.startsWith(QLatin1Char('#')));
    QTest::keyClick(page, Qt::Key_Return);
    QCOMPARE(QLatin1Char('#') + viewer.topic(), href);
    QCOMPARE(page->textCursor().selectedText(), secondLink); // the heading reads as the link did
    QCOMPARE(QApplication::focusWidget(), page);

    // F6 and Shift+F6 go round the panes: the document, the search field and, once a search has
    // found something, its results.
    auto* field = viewer.findChild<QLineEdit*>(QStringLiteral("searchField"));
    auto* results = viewer.findChild<QListWidget*>(QStringLiteral("searchResults"));
    const auto pane = [](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, modifiers);
        return QApplication::focusWidget();
    };
    QCOMPARE(pane(Qt::NoModifier), field);
    QCOMPARE(pane(Qt::NoModifier), page);
    QVERIFY(viewer.search(QStringLiteral("long path")) > 0);
    QCOMPARE(QApplication::focusWidget(), results);
    QCOMPARE(pane(Qt::NoModifier), page);
    QCOMPARE(pane(Qt::ShiftModifier), results);
    QCOMPARE(pane(Qt::ShiftModifier), field);
    QCOMPARE(pane(Qt::ShiftModifier), page);

    QTest::keyClick(page, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(!viewer.isVisible());
}

// Where the viewer opens: beside the exam where the screen has room, else offset so that the
// exam's title bar stays in sight, and always within the screen.
void TestHelp::placement_data()
{
    QTest::addColumn<QRect>("exam");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("expected");
    const QMargins none;
    const QMargins titled(2, 28, 2, 2);
    QTest::newRow("room on the right")
        << QRect(0, 0, 720, 600) << QRect(0, 0, 1280, 1024) << none << QRect(720, 0, 560, 600);
    QTest::newRow("room on the left")
        << QRect(560, 40, 720, 600) << QRect(0, 0, 1280, 1024) << none << QRect(0, 40, 560, 600);
    QTest::newRow("a wide screen") << QRect(100, 100, 724, 630) << QRect(0, 0, 1920, 1080) << titled
                                   << QRect(824, 100, 764, 630);
    QTest::newRow("no room beside it")
        << QRect(280, 0, 724, 630) << QRect(0, 0, 1280, 1024) << titled << QRect(312, 32, 764, 630);
    QTest::newRow("a small screen")
        << QRect(0, 0, 724, 630) << QRect(0, 0, 800, 600) << titled << QRect(32, 32, 764, 568);
    QTest::newRow("a panel at the top")
        << QRect(0, 32, 724, 630) << QRect(0, 32, 1024, 736) << titled << QRect(32, 64, 764, 630);
}

void TestHelp::placement()
{
    QFETCH(QRect, exam);
    QFETCH(QRect, screen);
    QFETCH(QMargins, frame);
    QFETCH(QRect, expected);
    const QRect placed = HelpViewer::placement(exam, screen, QSize(760, 600), frame);
    QCOMPARE(placed, expected);
    QVERIFY(screen.contains(placed));
    if (placed.intersects(exam))
        QVERIFY(placed.top() >= exam.top() + frame.top());
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
    HelpViewer& viewer = viewerOf(*form);
    QTRY_VERIFY(viewer.isVisible()); // the queued F1 has been handled
    QCOMPARE(viewer.document().name, document);
    QVERIFY2(viewer.document().ok(), qPrintable(viewer.document().problem));
    QCOMPARE(viewer.page()->verticalScrollBar()->value(), 0);
    QVERIFY(viewer.page()->toPlainText().size() > 1000);
}

void TestHelp::f1OpensNothingBeforeACommandAndTheLastOneAfter()
{
    openForm({QStringLiteral(QX_TEST_HELP_DIR)});
    QTest::keyClick(form, Qt::Key_F1);
    QVERIFY(!viewerOf(*form).isVisible());

    form->findChild<QAction*>(QStringLiteral("treview"))->trigger();
    form->findChild<QAction*>(QStringLiteral("geqlist"))->trigger();
    QCOMPARE(helpfile::current(), QStringLiteral("POOLLIST.hlp"));
    QTRY_COMPARE(viewerOf(*form).document().name, QStringLiteral("POOLLIST.hlp"));
    viewerOf(*form).close();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1); // from a control in the window
    QVERIFY(viewerOf(*form).isVisible());
    QCOMPARE(viewerOf(*form).document().name, QStringLiteral("POOLLIST.hlp"));
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
    QTRY_VERIFY(viewerOf(*form).isVisible());
    const QString report = viewerOf(*form).page()->toPlainText();
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
    QTRY_VERIFY(viewerOf(*form).isVisible());
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

// While a pool is open, The Questions shows its list, made while the program runs, and the
// search reads it; the built-in list comes back when the pool is closed.
void TestHelp::openPoolHasItsOwnQuestionList()
{
    bank::QuestionPool pool;
    pool.fileName = QStringLiteral("made.txt");
    pool.title = QStringLiteral("2026-2030 General Class (Element 3) Question Pool");
    pool.element = 'G';
    bank::PoolGroup group{QStringLiteral("G1A"), QStringLiteral("Frequency privileges"), {}, {}};
    const auto question = [](const char* number, const char* reference, const char* figure) {
        bank::PoolQuestion made;
        made.number = QString::fromLatin1(number);
        made.key = 'C';
        made.reference = QString::fromLatin1(reference);
        made.text = QStringLiteral("Which band edge is the quarrelsome one?");
        made.choices = {QStringLiteral("The first"), QStringLiteral("The second"),
                        QStringLiteral("The third"), QStringLiteral("The fourth")};
        made.figure = QString::fromLatin1(figure);
        return made;
    };
    group.questions << question("G1A01", "97.301(d)", "G1-1") << question("G1A02", "", "G1-2");
    group.questions.last().withdrawn = true;
    group.drawable = {0};
    pool.groups << group;
    pool.figures.insert(QStringLiteral("G1-1"), {QByteArray("png bytes"), "png"});
    QImage figure(40, 30, QImage::Format_RGB32);
    figure.fill(Qt::red);

    HelpViewer viewer;
    viewer.setQuestionList(questionlist::poolList(pool), {{QStringLiteral("G1-1"), figure}});
    QVERIFY(showBuiltDocument(viewer, QStringLiteral("POOLLIST.hlp")));
    QCOMPARE(viewer.windowTitle(), pool.title + QStringLiteral(" - POOLLIST.hlp"));
    const QString text = viewer.page()->toPlainText();
    for (const char* shown : {"G1A01", "Answer: C", "Rule: 97.301(d)", "Figure G1-1",
                              "Withdrawn from the pool: never drawn."}) {
        QVERIFY2(text.contains(QString::fromLatin1(shown)), shown);
    }
    QVERIFY(!text.contains(QStringLiteral("Rule: \n")));
    const QVariant picture = viewer.page()->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("figure:G1-1")));
    QCOMPARE(picture.value<QImage>(), figure);
    QVERIFY(viewer.openLink(QStringLiteral("#g1a02")));

    QVERIFY(viewer.search(QStringLiteral("quarrelsome")) > 0);
    QCOMPARE(viewer.library().search(QStringLiteral("quarrelsome")).first().document,
             QStringLiteral("POOLLIST.hlp"));

    viewer.setQuestionList(QString(), {});
    QVERIFY(viewer.page()->toPlainText().contains(QStringLiteral("Question 7.1")));
    QVERIFY(viewer.library().search(QStringLiteral("quarrelsome")).isEmpty());
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"

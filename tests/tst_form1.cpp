#include "contrast.h"
#include "form1.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QtGui/qpa/qplatformnativeinterface.h>

#include <functional>

namespace {

// A dark desktop's palette, as a dark color scheme sets it.
QPalette darkPalette()
{
    QPalette dark = QApplication::palette();
    for (const auto& [role, colour] : {std::pair{QPalette::Window, QColor(0x30, 0x2f, 0x2e)},
                                       std::pair{QPalette::WindowText, QColor(Qt::white)},
                                       std::pair{QPalette::Button, QColor(0x42, 0x42, 0x45)},
                                       std::pair{QPalette::ButtonText, QColor(Qt::white)},
                                       std::pair{QPalette::Base, QColor(0x3d, 0x3d, 0x3d)}})
        dark.setColor(role, colour);
    return dark;
}

// Sets the size of the offscreen platform's screen, as a change of resolution would; returns
// the size it had.
QSize resizeScreen(const QSize& size)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    const auto get = reinterpret_cast<QJsonObject (*)(QPlatformNativeInterface*)>(
        native->nativeResourceForIntegration("configuration"));
    const auto set = reinterpret_cast<void (*)(const QJsonObject&, QPlatformNativeInterface*)>(
        native->nativeResourceForIntegration("setConfiguration"));
    QJsonObject configuration = get(native);
    QJsonArray screens = configuration[QStringLiteral("screens")].toArray();
    QJsonObject screen = screens[0].toObject();
    const QSize before(screen[QStringLiteral("width")].toInt(),
                       screen[QStringLiteral("height")].toInt());
    screen[QStringLiteral("width")] = size.width();
    screen[QStringLiteral("height")] = size.height();
    screens[0] = screen;
    configuration[QStringLiteral("screens")] = screens;
    set(configuration, native);
    return before;
}

// Draws the same index in every group, so a test knows which question comes next.
class FixedDraw final : public bank::UniformSource {
public:
    void seedFromClock() override { ++seeds; }
    float next() override { return (static_cast<float>(index) + 0.5F) / 11.0F; }
    int index = 0;
    int seeds = 0;
};

// A pool of `groups` groups of two questions each, keyed B, in the published shape; the
// questions named in `figures` ("G1A01") show the figure G1-1.
bank::QuestionPool makePool(char element, int groups, const QStringList& figures = {})
{
    bank::QuestionPool pool;
    pool.fileName = QStringLiteral("made.txt");
    pool.element = element;
    pool.years = QStringLiteral("2026-2030");
    for (int g = 0; g < groups; ++g) {
        bank::PoolGroup group;
        group.id = QStringLiteral("%1%2%3")
                       .arg(QLatin1Char(element))
                       .arg(g / 26)
                       .arg(QChar(u'A' + static_cast<char16_t>(g % 26)));
        group.title = QStringLiteral("Group %1").arg(g + 1);
        for (int q = 1; q <= 2; ++q) {
            bank::PoolQuestion question;
            question.number = group.id + QStringLiteral("0%1").arg(q);
            question.key = 'B';
            question.text = QStringLiteral("Which is the second of %1?").arg(question.number);
            question.choices = {QStringLiteral("First"), QStringLiteral("Second"),
                                QStringLiteral("Third"), QStringLiteral("Fourth")};
            if (figures.contains(question.number)) {
                question.figure = QStringLiteral("G1-1");
                question.text += QStringLiteral(" See Figure G1-1.");
            }
            group.drawable << static_cast<int>(group.questions.size());
            group.questions << question;
        }
        pool.groups << group;
    }
    return pool;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstPictureShowsQuestionOne();
    void layoutMatchesTheDesign();
    void accessibility_data();
    void accessibility();
    void menuBarHasFiveMenus();
    void correctAnswerIsCountedOnce_data();
    void correctAnswerIsCountedOnce();
    void wrongAnswer_data();
    void wrongAnswer();
    void solveTwiceChangesNothingMore();
    void solutionNeverStaysBesideTheNextQuestion();
    void explanationShowsWithItsQuestionOnly();
    void carriedOverPickIsGradedAgainstNextQuestion();
    void everyWayOfPickingSetsTheChoice();
    void modeAndAnswerAreIndependent();
    void wholeExamReachesTheEndAndRestarts();
    void endOfExamNoOrEscapeEndsTheProgram_data();
    void endOfExamNoOrEscapeEndsTheProgram();
    void submitWithoutAPick();
    void quitAndExitEndTheProgram_data();
    void quitAndExitEndTheProgram();
    void aboutShowsTwoLines();
    void poolExam_data();
    void poolExam();
    void refusedPoolLeavesTheExamAlone();
    void poolFigureBesideTheQuestion();
    void longPoolTextsAreDrawnSmallerToFit();
    void renderToPng();

private:
    template <typename T> T* control(const char* name) const
    {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr)
            qFatal("no control named %s", name);
        return found;
    }
    QString caption(const char* label) const { return control<QLabel>(label)->text(); }
    QRadioButton* option(int number) const;
    QPushButton* command(int number) const;
    int keyedPosition() const;
    void pick(int number);
    void submit() { QTest::mouseClick(command(2), Qt::LeftButton); }
    void answerRight()
    {
        pick(keyedPosition());
        submit();
    }
    void answerWrong()
    {
        pick(keyedPosition() % 4 + 1);
        submit();
    }
    // Acts on the next message box once it is up; the box's own event loop runs the timer.
    void onNextMessageBox(std::function<void(QMessageBox*)> action);

    FixedDraw draw;
    Form1* form = nullptr;
};

void TestForm1::init()
{
    draw.index = 0;
    draw.seeds = 0;
    form = new Form1(&draw);
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form));
}

void TestForm1::cleanup()
{
    delete form;
    form = nullptr;
}

QRadioButton* TestForm1::option(int number) const
{
    return control<QRadioButton>(qPrintable(QStringLiteral("Option%1").arg(number)));
}

QPushButton* TestForm1::command(int number) const
{
    return control<QPushButton>(qPrintable(QStringLiteral("Command%1").arg(number)));
}

int TestForm1::keyedPosition() const
{
    const bank::LoadedQuestion& question = form->exam().question();
    const QString choices[] = {question.choiceA, question.choiceB, question.choiceC,
                               question.choiceD};
    for (int i = 0; i < 4; ++i) {
        if (choices[i] == question.correctAnswer)
            return i + 1;
    }
    return 0;
}

void TestForm1::pick(int number)
{
    // Far right of the box, well away from the circle and the text.
    QRadioButton* target = option(number);
    QTest::mouseClick(target, Qt::LeftButton, {},
                      QPoint(target->width() - 3, target->height() / 2));
}

void TestForm1::onNextMessageBox(std::function<void(QMessageBox*)> action)
{
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [poll, action] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(box);
        }
    });
    poll->start(5);
}

void TestForm1::firstPictureShowsQuestionOne()
{
    const exam::Exam& exam = form->exam();
    QCOMPARE(exam.questionCount(), 1);
    QCOMPARE(exam.groupNumber(), 1);
    QCOMPARE(exam.selectedChoice(), 0);
    QCOMPARE(caption("Label3"), QStringLiteral(" 1"));
    QCOMPARE(caption("Label5"), QStringLiteral(" 0"));
    QCOMPARE(caption("Label2"), QStringLiteral(" 0"));
    QCOMPARE(caption("Label4"), QStringLiteral(" 0"));
    QCOMPARE(caption("Label6"), QString());
    QCOMPARE(caption("Label1"), QString());
    QCOMPARE(caption("Label9"), QString());
    QCOMPARE(caption("Label7"), QString::fromLatin1(bank::recordAt(1, 0).questionText));
    QCOMPARE(option(1)->text(), QString::fromLatin1(bank::recordAt(1, 0).choiceA));
    QVERIFY(!command(4)->isVisible());
    QVERIFY(command(1)->isEnabled() && command(2)->isEnabled());
    QVERIFY(option(5)->isChecked() && !option(6)->isChecked());
    for (int i = 1; i <= 4; ++i)
        QVERIFY(!option(i)->isChecked());
    QVERIFY(!control<QLabel>("Label2")->isVisible() && !control<QLabel>("Label4")->isVisible());
    QCOMPARE(QApplication::focusWidget(), option(1));

    // No placeholder caption is left anywhere on screen.
    for (QLabel* label : form->findChildren<QLabel*>()) {
        if (label->isVisible())
            QVERIFY2(label->text() != label->objectName(), qPrintable(label->objectName()));
    }
    for (QRadioButton* button : form->findChildren<QRadioButton*>())
        QVERIFY2(button->text() != button->objectName(), qPrintable(button->objectName()));
}

void TestForm1::layoutMatchesTheDesign()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("QX9VEN General Class Theory"));
    QCOMPARE(form->centralWidget()->size(), QSize(705, 546));
    QVERIFY(!form->windowIcon().isNull());
    QCOMPARE(control<QGroupBox>("Frame1")->geometry(), QRect(16, 128, 545, 281));
    QCOMPARE(option(2)->geometry(), QRect(16, 88, 513, 49));
    QCOMPARE(control<QLabel>("Label9")->geometry(), QRect(16, 456, 593, 65));
    QCOMPARE(control<QLabel>("Label8")->text(),
             QStringLiteral("26 correct out of 35 questions are needed to pass"));
    QCOMPARE(control<QLabel>("Label6")->font().pointSizeF(), 13.5);
    QVERIFY(control<QLabel>("Label12")->font().bold());
    QCOMPARE(control<QLabel>("Label1")->palette().color(QPalette::Window), QColor(255, 255, 192));
    QCOMPARE(control<QLabel>("Label7")->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(control<QLabel>("Label7")->textFormat(), Qt::PlainText);

    // A long caption wraps inside its fixed box; nothing grows.
    const QSize before = option(1)->size();
    option(1)->setText(QString(130, QLatin1Char('w')).replace(7, 1, QLatin1Char(' ')));
    QCOMPARE(option(1)->size(), before);

    // Tab moves through the answer group, Solve, Submit Answer, QUIT, the mode group, and
    // Continue once it shows; each exclusive group is one stop.
    const auto tabStops = [] {
        QStringList names;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            names << QApplication::focusWidget()->objectName();
        }
        return names;
    };
    QCOMPARE(tabStops(), QStringList({QStringLiteral("Command1"), QStringLiteral("Command2"),
                                      QStringLiteral("Command3"), QStringLiteral("Option5"),
                                      QStringLiteral("Option1"), QStringLiteral("Command1")}));
    answerWrong();
    option(1)->setFocus();
    QCOMPARE(tabStops().mid(3, 2),
             QStringList({QStringLiteral("Option5"), QStringLiteral("Command4")}));
}

// What assistive technology learns of the window, and what a dark desktop or a small screen does
// to it. Each row plays a few steps and then checks one control: which one holds the focus and
// what it says (on a small screen also that it is scrolled into view), the contrast of a
// control's text on its background, or the window's size.
void TestForm1::accessibility_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expected");

    QTest::newRow("names are the visible texts") << ""
                                                 << ""
                                                 << "";
    QTest::newRow("first question") << ""
                                    << "Option1"
                                    << "^Question 1 of 35: What class .*\\? 0 correct so far\\.$";
    QTest::newRow("right answer, next question")
        << "right"
        << "Option1"
        << "^Correct\\. Question 2 of 35: .* 1 correct so far\\.$";
    QTest::newRow("wrong answer in QUIZ Mode") << "wrong"
                                               << "Command4"
                                               << "^WRONG\\.$";
    QTest::newRow("wrong answer in Learning Mode") << "learning wrong"
                                                   << "Command4"
                                                   << "^WRONG\\. Solution: [A-D]\\.  .+$";
    QTest::newRow("Learning Mode, next question")
        << "learning right"
        << "Option1"
        << "^Correct\\. Question 2 of 35: .* Solution: [A-D]\\.  .+";
    QTest::newRow("explanation with its question")
        << "explanation"
        << "Option1"
        << "^Correct\\. Question 14 of 35: .* Explanation: .+ 13 correct so far\\.$";
    QTest::newRow("after the last question") << "whole exam"
                                             << "Option1"
                                             << " 35 correct so far\\. That was the last question";
    QTest::newRow("Solve announces the solution") << "solve"
                                                  << "Label1"
                                                  << "^[A-D]\\.  .+$";
    QTest::newRow("no assistive technology: right answer") << "unheard right"
                                                           << "Command2"
                                                           << "^$";
    QTest::newRow("no assistive technology: wrong answer") << "unheard wrong"
                                                           << "Command2"
                                                           << "^$";
    QTest::newRow("Enter presses the focused button") << "enter"
                                                      << "Command4"
                                                      << "^WRONG\\.$";
    QTest::newRow("dark palette: question") << "dark"
                                            << "Label7"
                                            << "black";
    QTest::newRow("dark palette: question number") << "dark"
                                                   << "Label3"
                                                   << "black";
    QTest::newRow("dark palette: solution") << "dark"
                                            << "Label1"
                                            << "black";
    QTest::newRow("dark palette: explanation") << "dark"
                                               << "Label9"
                                               << "system";
    QTest::newRow("dark palette: answer choice") << "dark"
                                                 << "Option2"
                                                 << "system";
    QTest::newRow("screen large enough: the designed size, fixed") << ""
                                                                   << "Form1"
                                                                   << "";
    QTest::newRow("small screen: the next question's first choice in view")
        << "small right"
        << "Option1"
        << "^Correct\\. Question 2 of 35: ";
}

void TestForm1::accessibility()
{
    QFETCH(QString, steps);
    QFETCH(QString, target);
    QFETCH(QString, expected);

    if (steps.isEmpty() && target.isEmpty()) {
        const QList<QWidget*> controls = control<QWidget>("designArea")->findChildren<QWidget*>();
        for (QWidget* widget : controls) {
            if (widget->objectName().isEmpty())
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            const QString name = accessible->text(QAccessible::Name);
            const QString visible = qobject_cast<QLabel*>(widget)
                                        ? qobject_cast<QLabel*>(widget)->text()
                                    : qobject_cast<QAbstractButton*>(widget)
                                        ? qobject_cast<QAbstractButton*>(widget)->text()
                                        : qobject_cast<QGroupBox*>(widget)->title();
            QVERIFY2(name == visible, qPrintable(widget->objectName()));
        }
        const auto role = [this](const char* name) {
            return QAccessible::queryAccessibleInterface(control<QWidget>(name))->role();
        };
        QCOMPARE(role("Option1"), QAccessible::RadioButton);
        QCOMPARE(role("Command2"), QAccessible::Button);
        QCOMPARE(role("Frame1"), QAccessible::Grouping);
        QCOMPARE(role("Label7"), QAccessible::StaticText);
        QCOMPARE(role("Label1"), QAccessible::Notification);
        QCOMPARE(option(3)->accessibleDescription(), QStringLiteral("Answer choice C"));
        QCOMPARE(control<QLabel>("Label7")->accessibleDescription(), QStringLiteral("Question"));
        return;
    }

    if (target == QStringLiteral("Form1")) {
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->centralWidget()->size(), QSize(705, 546));
        return;
    }

    if (steps == QStringLiteral("dark")) {
        const QPalette light = QApplication::palette();
        const QPalette dark = darkPalette();
        QApplication::setPalette(dark);
        // The window learns of the new palette through a posted event.
        QTRY_COMPARE(form->palette().color(QPalette::WindowText), dark.color(QPalette::WindowText));
        const QPalette shown = control<QWidget>(qPrintable(target))->palette();
        QApplication::setPalette(light);
        QVERIFY(contrastRatio(shown.color(QPalette::WindowText), shown.color(QPalette::Window)) >=
                4.5);
        QCOMPARE(shown.color(QPalette::WindowText), expected == QStringLiteral("black")
                                                        ? QColor(Qt::black)
                                                        : dark.color(QPalette::WindowText));
        return;
    }

    // Focus moves and announcements happen only while assistive technology is listening.
    QList<QPair<QObject*, QAccessible::Event>> events;
    static QList<QPair<QObject*, QAccessible::Event>>* capture = nullptr;
    capture = &events;
    QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
        capture->append({event->object(), event->type()});
    });
    QPlatformAccessibility* platform =
        QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(platform != nullptr);
    // With no assistive technology listening, the focus stays where the learner put it.
    const bool listening = !steps.startsWith(QStringLiteral("unheard"));
    platform->setActive(listening);
    const auto restore = qScopeGuard([platform] {
        platform->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
    });
    QCOMPARE(QAccessible::isActive(), listening);

    // A screen smaller than the window, with the client area scrolled to its bottom.
    const bool small = steps.startsWith(QStringLiteral("small"));
    const QSize screenSize = small ? resizeScreen({640, 400}) : QSize();
    const auto restoreScreen = qScopeGuard([small, screenSize] {
        if (small)
            resizeScreen(screenSize);
    });
    if (small) {
        QScrollBar* scrollBar =
            qobject_cast<QScrollArea*>(form->centralWidget())->verticalScrollBar();
        QTRY_VERIFY(scrollBar->isVisible());
        scrollBar->setValue(scrollBar->maximum());
    }
    if (steps.startsWith(QStringLiteral("learning")))
        QTest::mouseClick(option(6), Qt::LeftButton);
    if (steps.endsWith(QStringLiteral("right")))
        answerRight();
    if (steps.endsWith(QStringLiteral("wrong")))
        answerWrong();
    if (steps == QStringLiteral("explanation")) {
        draw.index = 0; // 14.0 carries an explanation
        for (int group = 1; group < 14; ++group)
            answerRight();
    }
    if (steps == QStringLiteral("whole exam")) {
        for (int group = 1; group <= 35; ++group)
            answerRight();
    }
    if (steps == QStringLiteral("enter")) {
        pick(keyedPosition() % 4 + 1);
        command(2)->setFocus();
        QTest::keyClick(command(2), Qt::Key_Return);
    }
    if (steps == QStringLiteral("solve")) {
        events.clear();
        command(1)->setFocus();
        QTest::keyClick(command(1), Qt::Key_Enter, Qt::KeypadModifier);
        const QObject* bar = control<QLabel>(qPrintable(target));
        QVERIFY(events.contains({const_cast<QObject*>(bar), QAccessible::ObjectShow}));
        QVERIFY(QRegularExpression(expected).match(caption("Label1")).hasMatch());
        QCOMPARE(QApplication::focusWidget(), command(1));
        return;
    }

    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused != nullptr);
    QCOMPARE(focused->objectName(), target);
    QVERIFY2(QRegularExpression(expected).match(focused->accessibleDescription()).hasMatch(),
             qPrintable(focused->accessibleDescription()));
    if (small) {
        QVERIFY(form->screen()->availableGeometry().contains(form->frameGeometry()));
        const QWidget* viewport = control<QWidget>("clientArea")->parentWidget();
        QVERIFY(
            viewport->rect().contains(QRect(focused->mapTo(viewport, QPoint()), focused->size())));
        // Back on a screen large enough, the window has its fixed size again.
        resizeScreen(screenSize);
        QTRY_COMPARE(form->maximumSize(), form->minimumSize());
    }
}

void TestForm1::menuBarHasFiveMenus()
{
    const QStringList expected{
        QStringLiteral("File/Open Question Pool\u2026|Built-in Exam (2000\u20132003)|Exit"),
        QStringLiteral("Theory/THEORY REVIEW"),
        QStringLiteral("The Questions/General Exam Question List"),
        QStringLiteral("Part 97/Part 97"), QStringLiteral("Help/About")};
    QStringList found;
    for (QAction* top : form->menuBar()->actions()) {
        QStringList items;
        for (QAction* item : top->menu()->actions()) {
            if (item->isSeparator())
                continue;
            items << item->text();
            QCOMPARE(item->shortcut(), item->objectName() == QStringLiteral("openPool")
                                           ? QKeySequence(QKeySequence::Open)
                                           : QKeySequence());
        }
        found << top->text() + QLatin1Char('/') + items.join(QLatin1Char('|'));
    }
    QCOMPARE(found, expected);
}

void TestForm1::correctAnswerIsCountedOnce_data()
{
    QTest::addColumn<int>("wrongTriesFirst");
    QTest::newRow("right at the first try") << 0;
    QTest::newRow("right after a wrong try") << 1;
    QTest::newRow("right after two wrong tries") << 2;
}

void TestForm1::correctAnswerIsCountedOnce()
{
    QFETCH(int, wrongTriesFirst);
    for (int i = 0; i < wrongTriesFirst; ++i) {
        answerWrong();
        QCOMPARE(caption("Label6"), QStringLiteral("WRONG"));
    }
    answerRight();
    const exam::Exam& exam = form->exam();
    QCOMPARE(exam.correctCount(), 1);
    QCOMPARE(exam.questionCount(), 2);
    QCOMPARE(caption("Label5"), QStringLiteral(" 1"));
    QCOMPARE(caption("Label3"), QStringLiteral(" 2"));
    QCOMPARE(caption("Label2"), QStringLiteral(" 1"));
    QCOMPARE(caption("Label6"), QString());
    QCOMPARE(caption("Label7"), QString::fromLatin1(bank::recordAt(2, 0).questionText));
    QVERIFY(!command(4)->isVisible());
}

void TestForm1::wrongAnswer_data()
{
    QTest::addColumn<bool>("learningMode");
    QTest::newRow("QUIZ Mode clears the solution") << false;
    QTest::newRow("Learning Mode shows the solution") << true;
}

void TestForm1::wrongAnswer()
{
    QFETCH(bool, learningMode);
    if (learningMode)
        QTest::mouseClick(option(6), Qt::LeftButton);
    QTest::mouseClick(command(1), Qt::LeftButton); // a solution shown before answering
    answerWrong();
    QCOMPARE(caption("Label6"), QStringLiteral("WRONG"));
    QCOMPARE(caption("Label1"), learningMode ? form->exam().question().correctAnswer : QString());
    QVERIFY(command(4)->isVisible());
    QCOMPARE(form->exam().correctCount(), 0);
    QCOMPARE(form->exam().questionCount(), 1);

    QTest::mouseClick(command(4), Qt::LeftButton); // Continue moves on without counting
    QCOMPARE(form->exam().questionCount(), 2);
    QCOMPARE(form->exam().correctCount(), 0);
    QCOMPARE(caption("Label6"), QString());
    QVERIFY(!command(4)->isVisible());
}

void TestForm1::solveTwiceChangesNothingMore()
{
    QTest::mouseClick(command(1), Qt::LeftButton);
    QCOMPARE(caption("Label1"), QString::fromLatin1(bank::recordAt(1, 0).choice('C')));
    QCOMPARE(caption("Label2"), QStringLiteral(" 1"));
    QCOMPARE(caption("Label3"), QStringLiteral(" 1"));
    QCOMPARE(caption("Label5"), QStringLiteral(" 0"));
    QStringList first;
    for (QLabel* label : form->findChildren<QLabel*>())
        first << label->text();
    QTest::mouseClick(command(1), Qt::LeftButton);
    QStringList second;
    for (QLabel* label : form->findChildren<QLabel*>())
        second << label->text();
    QCOMPARE(second, first);
    QCOMPARE(form->exam().questionCount(), 1);
}

void TestForm1::solutionNeverStaysBesideTheNextQuestion()
{
    answerRight(); // now on question 2, past the first group
    answerWrong();
    QTest::mouseClick(command(1), Qt::LeftButton);
    QVERIFY(!caption("Label1").isEmpty());
    QTest::mouseClick(command(4), Qt::LeftButton);
    QCOMPARE(form->exam().groupNumber(), 3);
    QCOMPARE(caption("Label1"), QString());
}

void TestForm1::explanationShowsWithItsQuestionOnly()
{
    for (int group = 1; group < 14; ++group)
        answerRight();
    QCOMPARE(form->exam().groupNumber(), 14);
    const QString explanation = QString::fromLatin1(bank::recordAt(14, 0).explanation);
    QVERIFY(!explanation.isEmpty());
    QCOMPARE(caption("Label9"), explanation);
    answerWrong();
    QCOMPARE(caption("Label9"), explanation);
    answerRight();
    QCOMPARE(caption("Label9"), QString()); // 15.0 has none
}

void TestForm1::carriedOverPickIsGradedAgainstNextQuestion()
{
    // 1.0 keys C; 2.0 keys C as well, 3.0 keys A: submitting C again grades 2.0 right and
    // then 3.0 wrong, without any new pick.
    pick(3);
    submit();
    QCOMPARE(form->exam().questionCount(), 2);
    QVERIFY(option(3)->isChecked());
    QCOMPARE(form->exam().selectedChoice(), 3);
    submit();
    QCOMPARE(form->exam().correctCount(), 2);
    submit();
    QCOMPARE(caption("Label6"), QStringLiteral("WRONG"));
    QCOMPARE(form->exam().correctCount(), 2);
}

void TestForm1::everyWayOfPickingSetsTheChoice()
{
    pick(2);
    QCOMPARE(form->exam().selectedChoice(), 2);
    QTest::keyClick(option(2), Qt::Key_Down);
    QVERIFY(option(3)->isChecked());
    QCOMPARE(form->exam().selectedChoice(), 3);
    QTest::keyClick(option(3), Qt::Key_Up);
    QCOMPARE(form->exam().selectedChoice(), 2);
    option(4)->setFocus();
    QTest::keyClick(option(4), Qt::Key_Space);
    QVERIFY(option(4)->isChecked());
    QCOMPARE(form->exam().selectedChoice(), 4);
    // Clicking on the circle itself works as well as the far end of the box.
    QTest::mouseClick(option(1), Qt::LeftButton, {}, QPoint(6, option(1)->height() / 2));
    QCOMPARE(form->exam().selectedChoice(), 1);
}

void TestForm1::modeAndAnswerAreIndependent()
{
    pick(2);
    QTest::mouseClick(option(6), Qt::LeftButton);
    QVERIFY(option(2)->isChecked() && option(6)->isChecked());
    QCOMPARE(form->exam().selectedChoice(), 2);
    pick(4);
    QVERIFY(option(6)->isChecked() && !option(5)->isChecked());
}

void TestForm1::wholeExamReachesTheEndAndRestarts()
{
    QTest::mouseClick(option(6), Qt::LeftButton); // Learning Mode, kept across the restart
    for (int group = 1; group <= 35; ++group)
        answerRight();
    const exam::Exam& exam = form->exam();
    QCOMPARE(exam.questionCount(), 36);
    QCOMPARE(exam.correctCount(), 35);
    QCOMPARE(caption("Label5"), QStringLiteral(" 35"));
    QCOMPARE(caption("Label3"), QStringLiteral(" 35"));
    QCOMPARE(caption("Label7"), QString::fromLatin1(bank::recordAt(35, 0).questionText));
    QCOMPARE(caption("Label1"), QString::fromLatin1(bank::recordAt(35, 0).choice('B')));
    QVERIFY(!command(4)->isVisible());

    bool sawBox = false;
    onNextMessageBox([&sawBox, this](QMessageBox* box) {
        sawBox = box->text() == QStringLiteral("Exam Over. Do you want to continue?") &&
                 box->windowTitle() == QStringLiteral("QX9VEN General Exam") &&
                 box->icon() == QMessageBox::NoIcon &&
                 box->standardButtons() == (QMessageBox::Yes | QMessageBox::No) &&
                 box->defaultButton() == box->button(QMessageBox::Yes) &&
                 !command(1)->isEnabled() && !command(2)->isEnabled() &&
                 form->exam().questionCount() == 0;
        box->button(QMessageBox::Yes)->click();
    });
    draw.index = 1;
    QSignalSpy ended(form, &Form1::programEnded);
    QCOMPARE(draw.seeds, 1);
    submit();
    QVERIFY(sawBox);
    QCOMPARE(ended.count(), 0);
    QCOMPARE(draw.seeds, 2); // each exam draws from a freshly seeded generator

    QCOMPARE(exam.questionCount(), 1);
    QCOMPARE(exam.correctCount(), 0);
    QCOMPARE(exam.groupNumber(), 1);
    QCOMPARE(exam.questionIndex(), 1);
    QCOMPARE(exam.selectedChoice(), 0);
    QCOMPARE(caption("Label5"), QStringLiteral(" 0"));
    QCOMPARE(caption("Label3"), QStringLiteral(" 1"));
    QCOMPARE(caption("Label4"), QStringLiteral(" 0"));
    QCOMPARE(caption("Label6"), QString());
    QVERIFY(option(6)->isChecked());
    QCOMPARE(caption("Label1"), exam.question().correctAnswer);
    QVERIFY(command(1)->isEnabled() && command(2)->isEnabled() && command(4)->isEnabled());
    QVERIFY(!command(4)->isVisible());
}

void TestForm1::endOfExamNoOrEscapeEndsTheProgram_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("No") << false;
    QTest::newRow("Escape") << true;
}

void TestForm1::endOfExamNoOrEscapeEndsTheProgram()
{
    QFETCH(bool, escape);
    for (int group = 1; group <= 35; ++group)
        answerRight();
    onNextMessageBox([escape](QMessageBox* box) {
        if (escape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(QMessageBox::No)->click();
    });
    QSignalSpy ended(form, &Form1::programEnded);
    submit();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!form->isVisible());
    QCOMPARE(form->exam().questionCount(), 0); // nothing ran after the answer
}

void TestForm1::submitWithoutAPick()
{
    // Nothing picked and nothing shown selected: the press grades WRONG.
    submit();
    QCOMPARE(caption("Label6"), QStringLiteral("WRONG"));
    QCOMPARE(form->exam().selectedChoice(), 0);

    // After a restart the last exam's pick still shows; that is what gets graded. The last
    // answer was B (35.0); the new first question, 1.5, keys B too.
    for (int group = 1; group <= 35; ++group)
        answerRight();
    onNextMessageBox([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    draw.index = 5;
    submit();
    QCOMPARE(form->exam().selectedChoice(), 0);
    QVERIFY(option(2)->isChecked());
    submit();
    QCOMPARE(form->exam().selectedChoice(), 2);
    QCOMPARE(form->exam().correctCount(), 1);
    QCOMPARE(form->exam().groupNumber(), 2);

    // Clicking the option that is already selected counts as a pick too.
    for (int group = 2; group <= 35; ++group)
        answerRight();
    onNextMessageBox([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    submit();
    QCOMPARE(form->exam().selectedChoice(), 0);
    QVERIFY(option(1)->isChecked()); // 35.5 keys A
    pick(1);
    QCOMPARE(form->exam().selectedChoice(), 1);
}

void TestForm1::quitAndExitEndTheProgram_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("QUIT button") << false;
    QTest::newRow("File > Exit") << true;
}

void TestForm1::quitAndExitEndTheProgram()
{
    QFETCH(bool, fromMenu);
    answerWrong();
    QSignalSpy ended(form, &Form1::programEnded);
    if (fromMenu)
        form->findChild<QAction*>(QStringLiteral("Exit"))->trigger();
    else
        QTest::mouseClick(command(3), Qt::LeftButton);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!form->isVisible());
}

void TestForm1::aboutShowsTwoLines()
{
    const QString text = Form1::aboutText();
    QCOMPARE(text.count(QLatin1Char('\r')), 1);
    QVERIFY(!text.contains(QLatin1Char('\n')));
    QVERIFY(text.section(QLatin1Char('\r'), 1).contains(QStringLiteral("Copyright")));

    answerWrong();
    const QString result = caption("Label6");
    QString shown;
    onNextMessageBox([&shown](QMessageBox* box) {
        if (box->windowTitle() == QStringLiteral("About") &&
            box->standardButtons() == QMessageBox::Ok && box->icon() == QMessageBox::NoIcon)
            shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    form->findChild<QAction*>(QStringLiteral("about2"))->trigger();
    QCOMPARE(shown.split(QLatin1Char('\n')).size(), 2);
    QCOMPARE(caption("Label6"), result);
    QVERIFY(command(4)->isVisible());
}

// A pool's exam is the exam the learner knows, with the pool's own size, pass mark and title.
void TestForm1::poolExam_data()
{
    QTest::addColumn<char>("element");
    QTest::addColumn<int>("groups");
    QTest::addColumn<QString>("passMark");
    QTest::addColumn<QString>("title");
    QTest::newRow("General, 35 groups")
        << 'G' << 35 << QStringLiteral("26 correct out of 35 questions are needed to pass")
        << QStringLiteral("General Class (Element 3) Question Pool 2026-2030 - QX9VEN");
    QTest::newRow("Technician, 35 groups")
        << 'T' << 35 << QStringLiteral("26 correct out of 35 questions are needed to pass")
        << QStringLiteral("Technician Class (Element 2) Question Pool 2026-2030 - QX9VEN");
    QTest::newRow("Extra, 50 groups")
        << 'E' << 50 << QStringLiteral("37 correct out of 50 questions are needed to pass")
        << QStringLiteral("Extra Class (Element 4) Question Pool 2026-2030 - QX9VEN");
}

void TestForm1::poolExam()
{
    QFETCH(char, element);
    QFETCH(int, groups);
    QFETCH(QString, passMark);
    QFETCH(QString, title);

    draw.index = 6; // the second question of each group
    form->usePool(makePool(element, groups));
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(caption("Label8"), passMark);
    QCOMPARE(caption("Label7"), QStringLiteral("Which is the second of %1?")
                                    .arg(form->pool()->groups.first().questions.at(1).number));
    QCOMPARE(option(2)->text(), QStringLiteral("B.  Second"));
    QVERIFY(QRegularExpression(QStringLiteral("^Question 1 of %1: ").arg(groups))
                .match(option(1)->accessibleDescription())
                .hasMatch());
    for (int question = 1; question <= groups; ++question) {
        pick(2);
        command(2)->click();
    }
    QCOMPARE(caption("Label5"), QStringLiteral(" %1").arg(groups));
    QVERIFY(
        option(1)->accessibleDescription().contains(QStringLiteral("That was the last question")));
    bool asked = false;
    onNextMessageBox([&asked](QMessageBox* box) {
        asked = true;
        box->button(QMessageBox::Yes)->click();
    });
    command(2)->click();
    QVERIFY(asked);
    QCOMPARE(caption("Label5"), QStringLiteral(" 0"));
    QCOMPARE(form->exam().source().groupCount(), groups);

    // Back to the built-in exam: after a new exam has begun, nothing is asked.
    QVERIFY(form->useBuiltInExam());
    QCOMPARE(form->windowTitle(), QStringLiteral("QX9VEN General Class Theory"));
    QCOMPARE(caption("Label8"),
             QStringLiteral("26 correct out of 35 questions are needed to pass"));
    QCOMPARE(caption("Label7"), QString::fromLatin1(bank::recordAt(1, 6).questionText));
    QVERIFY(form->pool() == nullptr);
}

// A pool that cannot be read is reported with its line, and the exam on screen goes on as it
// was. So does an answered exam when the learner says No to leaving it.
void TestForm1::refusedPoolLeavesTheExamAlone()
{
    QTemporaryDir folder;
    const QString bad = folder.filePath(QStringLiteral("bad.txt"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("A pool with a fault\nSUBELEMENT G1 - X [1 Exam Question - 1 Group]\n"
               "G1A - A group\nG1A01 (A)\nWhich is it?\nA. One\nB. Two\nC. Three\n~~\n");
    file.close();
    const QString good = folder.filePath(QStringLiteral("good.txt"));
    QFile goodFile(good);
    QVERIFY(goodFile.open(QIODevice::WriteOnly));
    goodFile.write("A sound pool\nSUBELEMENT G1 - X [1 Exam Question - 1 Group]\n"
                   "G1A - A group\nG1A01 (A)\nWhich is it?\nA. One\nB. Two\nC. Three\n"
                   "D. Four\n~~\n");
    goodFile.close();

    pick(keyedPosition() == 1 ? 2 : 1);
    command(2)->click();
    const auto screen = [this] {
        QStringList shown{form->windowTitle(), caption("Label3"),
                          caption("Label5"),   caption("Label6"),
                          caption("Label7"),   caption("Label8"),
                          option(1)->text(),   QString::number(command(4)->isVisible())};
        for (int i = 1; i <= 4; ++i)
            shown << QString::number(option(i)->isChecked());
        return shown;
    };
    const QStringList before = screen();

    QString message;
    onNextMessageBox([&message](QMessageBox* box) {
        message = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(!form->openPoolFile(bad));
    QCOMPARE(message, QStringLiteral("Cannot open bad.txt: line 4: G1A01 has no choice D."));
    QCOMPARE(screen(), before);

    onNextMessageBox([&message](QMessageBox* box) {
        message = box->text();
        box->button(QMessageBox::No)->click();
    });
    QVERIFY(!form->openPoolFile(good));
    QVERIFY(message.contains(QStringLiteral("answered")));
    QCOMPARE(screen(), before);

    onNextMessageBox([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    QVERIFY(form->openPoolFile(good));
    QVERIFY(form->pool() != nullptr);
    QCOMPARE(caption("Label5"), QStringLiteral(" 0"));
    QVERIFY(!command(4)->isVisible());
    for (int i = 1; i <= 4; ++i)
        QVERIFY(!option(i)->isChecked());
}

// A figure shows in a column beside the controls, never over them, and goes with the question
// that names it; a figure the pool lacks is named as missing.
void TestForm1::poolFigureBesideTheQuestion()
{
    bank::QuestionPool pool = makePool('G', 3, {QStringLiteral("G0A01"), QStringLiteral("G0C01")});
    QImage picture(200, 120, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    pool.figures.insert(QStringLiteral("G1-1"), {png, "png"});
    pool.groups[2].questions[0].figure = QStringLiteral("G1-2");

    form->usePool(pool);
    auto* pane = control<QWidget>("figurePane");
    const QWidget* design = control<QWidget>("designArea");
    QVERIFY(pane->isVisibleTo(form));
    QVERIFY(!pane->geometry().intersects(design->geometry()));
    QCOMPARE(pane->height(), design->height());
    QCOMPARE(caption("figureCaption"), QStringLiteral("Figure G1-1"));
    const QPixmap shown = control<QLabel>("figurePicture")->pixmap();
    QVERIFY(shown.width() >= 200 && shown.width() <= pane->width());
    QCOMPARE(QAccessible::queryAccessibleInterface(control<QWidget>("figurePicture"))
                 ->text(QAccessible::Name),
             QStringLiteral("Figure G1-1"));
    QVERIFY(option(1)->accessibleDescription().contains(
        QStringLiteral("Figure G1-1 is shown beside the question.")));

    pick(2);
    command(2)->click();
    QVERIFY(!pane->isVisibleTo(form));
    QCOMPARE(form->centralWidget()->size(), QSize(705, 546));

    pick(2);
    command(2)->click();
    QVERIFY(pane->isVisibleTo(form));
    QCOMPARE(caption("figureCaption"), QStringLiteral("Figure G1-2 is not in the pool file"));
    QVERIFY(option(1)->accessibleDescription().contains(
        QStringLiteral("Figure G1-2 is not in the pool file.")));
    pick(2);
    command(2)->click();
    QCOMPARE(caption("Label5"), QStringLiteral(" 3"));
}

// The built-in texts fit their boxes by design; a pool's longer ones are drawn smaller instead
// of being cut off, and the design's size comes back with the built-in exam.
void TestForm1::longPoolTextsAreDrawnSmallerToFit()
{
    bank::QuestionPool pool = makePool('E', 1);
    const QString longText = QStringLiteral("Which of these long words is right? ").repeated(9);
    for (bank::PoolQuestion& question : pool.groups[0].questions) {
        question.text = longText;
        question.choices[0] = longText.first(150);
    }
    form->usePool(pool);
    const auto fits = [](QWidget* control, int width) {
        return QFontMetrics(control->font())
                   .boundingRect(QRect(0, 0, width, 1000), Qt::TextWordWrap,
                                 control->property("text").toString())
                   .height() <= control->height();
    };
    auto* question = control<QLabel>("Label7");
    QVERIFY(question->font().pointSizeF() < 8.25);
    QVERIFY(fits(question, question->width()));
    QVERIFY(option(3)->font().pointSizeF() == 8.25);

    QVERIFY(form->useBuiltInExam());
    QCOMPARE(question->font().pointSizeF(), 8.25);
    QCOMPARE(option(1)->font().pointSizeF(), 8.25);
}

void TestForm1::renderToPng()
{
    const QString folder = QDir::current().absoluteFilePath(QStringLiteral("screenshots"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(form->grab().save(folder + QStringLiteral("/start.png")));

    draw.index = 9; // 22.9: a question with an explanation
    for (int group = 1; group < 22; ++group)
        answerRight();
    QTest::mouseClick(option(6), Qt::LeftButton);
    answerWrong();
    QVERIFY(form->grab().save(folder + QStringLiteral("/wrong-learning.png")));

    // The same on a dark desktop, in both modes.
    const QPalette light = QApplication::palette();
    const QPalette dark = darkPalette();
    QApplication::setPalette(dark);
    QTRY_COMPARE(form->palette().color(QPalette::Window), dark.color(QPalette::Window));
    QVERIFY(form->grab().save(folder + QStringLiteral("/dark-learning.png")));
    QTest::mouseClick(option(5), Qt::LeftButton);
    QVERIFY(form->grab().save(folder + QStringLiteral("/dark-quiz.png")));
    QApplication::setPalette(light);

    // The longest caption an answer choice can have wraps inside its box.
    option(3)->setText(QStringLiteral("C.  ") + QStringLiteral("wrapping words ").repeated(9));
    QCOMPARE(option(3)->text().size(), 139);
    QVERIFY(form->grab().save(folder + QStringLiteral("/long-choice.png")));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"

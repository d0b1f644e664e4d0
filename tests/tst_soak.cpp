// A long, seeded, random life of the window: a restless user clicking everything but Exit and
// QUIT, with the exam's invariants checked after every action. QX_SOAK_ACTIONS sets how many
// actions to play (default 20000) and QX_SOAK_SEED the seed; a failure prints both and the
// last actions so that the run can be repeated exactly.
#include "form1.h"
#include "helpfile.h"
#include "helpviewer.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <random>

namespace {

// The exam window knows its viewer only as a HelpWindow; the tests look inside.
HelpViewer& viewerOf(Form1& form)
{
    return dynamic_cast<HelpViewer&>(form.helpWindow());
}

// The exam's own draws come from the same seeded sequence, so a run repeats exactly.
class SeededDraw final : public bank::UniformSource {
public:
    explicit SeededDraw(std::uint32_t seed) : source_(seed) {}
    void seedFromClock() override {}
    float next() override { return source_.next(); }

private:
    bank::MersenneSource source_;
};

quint32 environmentNumber(const char* name, quint32 fallback)
{
    bool ok = false;
    const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void restlessUserKeepsEveryInvariant();

private:
    QString checkInvariants() const;
    void answerModalBoxesAtOnce();

    Form1* form = nullptr;
    QTimer* boxCloser = nullptr;
};

void TestSoak::answerModalBoxesAtOnce()
{
    // Yes to the end of an exam, OK to About: whichever box is up is answered right away.
    boxCloser = new QTimer(this);
    boxCloser->setInterval(0);
    connect(boxCloser, &QTimer::timeout, this, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            (yes != nullptr ? yes : box->button(QMessageBox::Ok))->click();
        }
    });
    boxCloser->start();
}

QString TestSoak::checkInvariants() const
{
    const exam::Exam& exam = form->exam();
    const auto text = [this](const char* name) {
        return form->findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    if (exam.questionCount() < 0 || exam.questionCount() > 36)
        return QStringLiteral("questionCount out of range");
    if (exam.correctCount() > exam.questionCount() || exam.correctCount() > 35)
        return QStringLiteral("correctCount above questionCount or 35");
    if (text("Label3") != exam::Exam::numberText(exam.groupNumber()))
        return QStringLiteral("Label3 does not show groupNumber");
    const QuestionRecord& shown = bank::recordAt(exam.groupNumber(), exam.questionIndex());
    if (text("Label7") != QString::fromLatin1(shown.questionText))
        return QStringLiteral("the question shown is not the one at groupNumber, questionIndex");
    const QString result = text("Label6");
    if (!result.isEmpty() && result != QStringLiteral("Correct") &&
        result != QStringLiteral("WRONG"))
        return QStringLiteral("Label6 holds ") + result;
    const bank::LoadedQuestion& question = exam.question();
    const int keyed = int(question.choiceA == question.correctAnswer) +
                      int(question.choiceB == question.correctAnswer) +
                      int(question.choiceC == question.correctAnswer) +
                      int(question.choiceD == question.correctAnswer);
    if (keyed != 1)
        return QStringLiteral("not exactly one choice equals correctAnswer");
    if (form->findChild<QLabel*>(QStringLiteral("Label2"))->isVisible() ||
        form->findChild<QLabel*>(QStringLiteral("Label4"))->isVisible())
        return QStringLiteral("a hidden counter label is visible");
    const bool continueShown =
        form->findChild<QPushButton*>(QStringLiteral("Command4"))->isVisible();
    if (continueShown && result != QStringLiteral("WRONG"))
        return QStringLiteral("Continue visible without a wrong answer");
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->objectName().isEmpty())
            continue;
        const auto* label = qobject_cast<QLabel*>(widget);
        const auto* option = qobject_cast<QAbstractButton*>(widget);
        const QString caption = label ? label->text() : option ? option->text() : QString();
        if (caption == widget->objectName())
            return QStringLiteral("placeholder caption visible: ") + caption;
    }
    return {};
}

void TestSoak::restlessUserKeepsEveryInvariant()
{
    const quint32 seed = environmentNumber("QX_SOAK_SEED", 20261208U);
    const quint32 actions = environmentNumber("QX_SOAK_ACTIONS", 20000U);
    std::mt19937 dice(seed);
    SeededDraw draw(seed);
    helpfile::set(QString());
    form = new Form1(&draw);
    viewerOf(*form).setSearchFolders({QStringLiteral(QX_TEST_HELP_DIR)});
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form));
    answerModalBoxesAtOnce();

    const auto button = [this](const QString& name) {
        return form->findChild<QAbstractButton*>(name);
    };
    const auto action = [this](const char* name) {
        return form->findChild<QAction*>(QString::fromLatin1(name));
    };
    static const char* const names[] = {"Option1",  "Option2",  "Option3",  "Option4",  "Option5",
                                        "Option6",  "Command1", "Command2", "Command2", "Command2",
                                        "Command4", "Command4", "about2",   "treview",  "geqlist",
                                        "p97rules", "F1"};
    std::uniform_int_distribution<std::size_t> pickAction(0, std::size(names) - 1);
    std::deque<QString> recent;
    int examsFinished = 0;

    for (quint32 step = 0; step < actions; ++step) {
        // Reference commands and About are rarer than answering, as with a real learner.
        std::size_t which = pickAction(dice);
        if (which >= 12 && dice() % 8 != 0)
            which = 7;
        const QString name = QString::fromLatin1(names[which]);
        const qint16 countBefore = form->exam().questionCount();
        recent.push_back(name);
        if (recent.size() > 25)
            recent.pop_front();

        if (name == QStringLiteral("F1")) {
            QTest::keyClick(form, Qt::Key_F1);
        } else if (which >= 12) {
            action(names[which])->trigger();
            QCoreApplication::processEvents(); // the queued F1 of a reference command
        } else if (QAbstractButton* target = button(name);
                   target->isVisible() && target->isEnabled()) {
            QTest::mouseClick(target, Qt::LeftButton, {},
                              QPoint(target->width() - 2, target->height() / 2));
        }
        if (viewerOf(*form).isVisible() && dice() % 2 == 0)
            viewerOf(*form).close();

        if (countBefore == 36 && form->exam().questionCount() == 1)
            ++examsFinished;
        const QString broken = checkInvariants();
        if (!broken.isEmpty()) {
            QStringList last(recent.begin(), recent.end());
            QFAIL(qPrintable(QStringLiteral("%1 after action %2 (seed %3). Last actions: %4")
                                 .arg(broken)
                                 .arg(step)
                                 .arg(seed)
                                 .arg(last.join(QStringLiteral(", ")))));
        }
    }
    QVERIFY(form->isVisible()); // nothing ended the program
    qInfo("%u actions played with seed %u; %d exams finished and restarted", actions, seed,
          examsFinished);
    QVERIFY(actions < 5000 || examsFinished > 0);
    delete form;
    form = nullptr;
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"

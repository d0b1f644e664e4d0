// How long each click takes to handle, from the click to the window showing its result, how
// long the question list takes to show, and how long a search of the three documents takes.
// Figures only; nothing here fails on a slow machine.
#include "form1.h"
#include "helplibrary.h"
#include "helpviewer.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>

namespace {

// The exam window knows its viewer only as a HelpWindow; the tests look inside.
HelpViewer& viewerOf(Form1& form)
{
    return dynamic_cast<HelpViewer&>(form.helpWindow());
}

class FixedDraw final : public bank::UniformSource {
public:
    void seedFromClock() override {}
    float next() override { return 0.55F; }
};

} // namespace

class BenchClicks : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        form = new Form1(&draw);
        viewerOf(*form).setSearchFolders({QStringLiteral(QX_HELP_DIR)});
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    void cleanup()
    {
        delete form;
        form = nullptr;
    }

    void submitRightAnswerToNextQuestion()
    {
        QBENCHMARK
        {
            if (form->exam().questionCount() >= 35)
                form->exam().Form_Load();
            pickKeyed();
            QTest::mouseClick(button("Command2"), Qt::LeftButton);
            form->repaint();
        }
    }

    void solve()
    {
        QBENCHMARK
        {
            QTest::mouseClick(button("Command1"), Qt::LeftButton);
            form->repaint();
        }
    }

    void continueAfterWrongAnswer()
    {
        QBENCHMARK
        {
            if (form->exam().questionCount() >= 35)
                form->exam().Form_Load();
            button("Command4")->click();
            form->repaint();
        }
    }

    void wholeExam()
    {
        QBENCHMARK
        {
            form->exam().Form_Load();
            while (form->exam().questionCount() < 36) {
                pickKeyed();
                QTest::mouseClick(button("Command2"), Qt::LeftButton);
            }
            form->repaint();
        }
    }

    void openQuestionList()
    {
        HelpViewer& viewer = viewerOf(*form);
        QBENCHMARK
        {
            viewer.showDocument(QStringLiteral("POOLLIST.hlp"));
            viewer.repaint();
        }
        QVERIFY(viewer.document().ok());
    }

    // The documents read and divided into topics once, as after the first search.
    void searchAllDocuments()
    {
        HelpLibrary library({QStringLiteral(QX_HELP_DIR)});
        QVERIFY(!library.search(QStringLiteral("long path")).isEmpty());
        QBENCHMARK
        {
            library.search(QStringLiteral("long path"));
        }
    }

    // The first search of a viewer: reading the three documents, dividing them into topics and
    // searching them.
    void firstSearchReadingTheDocuments()
    {
        QBENCHMARK
        {
            HelpLibrary library({QStringLiteral(QX_HELP_DIR)});
            library.search(QStringLiteral("long path"));
        }
    }

private:
    QPushButton* button(const char* name) const
    {
        return form->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void pickKeyed()
    {
        const bank::LoadedQuestion& question = form->exam().question();
        const QString choices[] = {question.choiceA, question.choiceB, question.choiceC,
                                   question.choiceD};
        for (int i = 0; i < 4; ++i) {
            if (choices[i] == question.correctAnswer)
                QTest::mouseClick(
                    form->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(i + 1)),
                    Qt::LeftButton);
        }
    }

    FixedDraw draw;
    Form1* form = nullptr;
};

QTEST_MAIN(BenchClicks)
#include "bench_clicks.moc"

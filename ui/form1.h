#pragma once

#include "exam.h"
#include "examcontrols.h"
#include "questionbank.h"

#include <QHash>
#include <QImage>
#include <QMainWindow>

#include <array>
#include <memory>

class ClientScrollArea;
class FigurePane;
class HelpWindow;
class NotifyingLabel;
class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The one window: the exam's controls at their fixed places, the menu bar, About and quitting.
// It passes each click to the exam and gives the exam its controls by name.
class Form1 : public QMainWindow, public exam::ExamControls {
    Q_OBJECT

public:
    // With no source given, the window draws questions from its own clock-seeded generator.
    explicit Form1(bank::UniformSource* random = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    exam::Exam& exam() { return exam_; }
    // The help viewer, made when it is first needed rather than at start-up.
    HelpWindow& helpWindow();

    // The About text: the program and its developer, a carriage return, the copyright line.
    static QString aboutText();

    // Starts an exam from the pool at `path`. A pool that cannot be read is reported in a
    // message box and changes nothing; so does a No when the learner is asked whether to leave
    // an exam they have answered in. True when the pool's exam has started.
    bool openPoolFile(const QString& path);
    // Starts an exam from a pool already read (the command line reads it before any window).
    void usePool(bank::QuestionPool pool);
    // Back to the built-in exam, asking first as openPoolFile does; true when it has started.
    bool useBuiltInExam();
    // The pool whose exam is on screen; nullptr for the built-in exam.
    const bank::QuestionPool* pool() const;

    QString caption(exam::Label label) const override;
    void setCaption(exam::Label label, const QString& text) override;
    void setCaption(exam::Option option, const QString& text) override;
    bool isSelected(exam::Option option) const override;
    void setButtonEnabled(exam::Button button, bool enabled) override;
    void setButtonVisible(exam::Button button, bool visible) override;
    bool askToContinue() override;
    void endProgram() override;

protected:
    // F1 anywhere in the window opens the application's help file at its contents page.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The program is to end now with status 0 (QUIT, File > Exit, No at the end of an exam).
    void programEnded();

private:
    void buildControls(QWidget* surface);
    void buildMenus();
    void connectHandlers();

    void openPool_Click();
    void builtInExam_Click();
    bool mayLeaveExam();
    void startExamFrom(const bank::QuestionSource& source);
    void showExamSource();
    void showFigure();
    void setFigureColumnShown(bool shown);

    void Command3_Click();
    void Exit_Click();
    void about2_Click();
    void treview_Click();
    void geqlist_Click();
    void p97rules_Click();
    void runReferenceCommand(const QString& helpFileName, const char* itemName);
    void openHelpFile();

    void runExamHandler(void (exam::Exam::*handler)());
    QString questionBrief() const;
    QString solutionSentence() const;

    // What the exam wrote during the handler that is running.
    struct HandlerRun {
        bool questionShown = false; // a question was presented
        bool solutionShown = false; // the solution bar was filled
        QString result;             // the last result written, "Correct" or "WRONG"
    };
    HandlerRun handlerRun_;
    QString questionBrief_;

    std::unique_ptr<bank::UniformSource> ownRandom_;
    exam::Exam exam_;
    std::unique_ptr<HelpWindow> helpWindow_;
    std::unique_ptr<bank::PoolSource> pool_;
    QHash<QString, QImage> figures_; // the open pool's figures, decoded to fit the column
    QString questionList_;           // the open pool's question list; empty for the built-in
    bool answered_ = false;          // an answer was submitted in the exam on screen

    QWidget* surface_ = nullptr; // the window's controls, at the size of the design
    QWidget* clientArea_ = nullptr;
    ClientScrollArea* scrollArea_ = nullptr;
    FigurePane* figurePane_ = nullptr;
    int figureColumnWidth_ = 0;

    std::array<QLabel*, 12> labels_{};       // Label1 .. Label12
    std::array<QRadioButton*, 6> options_{}; // Option1 .. Option6
    std::array<QPushButton*, 4> commands_{}; // Command1 .. Command4
    std::array<QGroupBox*, 4> frames_{};     // Frame1 .. Frame4
    NotifyingLabel* solutionBar_ = nullptr;  // Label1
};

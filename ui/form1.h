#pragma once

#include "exam.h"
#include "examcontrols.h"
#include "questionbank.h"

#include <QMainWindow>

#include <array>
#include <memory>

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

    std::array<QLabel*, 12> labels_{};       // Label1 .. Label12
    std::array<QRadioButton*, 6> options_{}; // Option1 .. Option6
    std::array<QPushButton*, 4> commands_{}; // Command1 .. Command4
    std::array<QGroupBox*, 4> frames_{};     // Frame1 .. Frame4
    NotifyingLabel* solutionBar_ = nullptr;  // Label1
};

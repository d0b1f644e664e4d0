#pragma once

#include "examcontrols.h"
#include "questionbank.h"
#include "questionsource.h"

#include <QString>
#include <QtGlobal>

namespace exam {

// How a click flows through the program. The window turns each click into one handler call
// here: Option1_Click..Option4_Click only note the pick; Command2_Click (Submit Answer) grades
// it and writes "Correct" or "WRONG" into Label6, then runs Command4_Click (Continue) at once
// for a right answer, or shows Continue for a wrong one. Continue reads Label6 to decide
// whether to count the last answer, draws the next group's question from the bank and writes
// it into the controls; in Learning Mode it ends by running Command1_Click (Solve), which shows
// the key in Label1. Form_Load starts an exam by resetting the counters and running Continue.
// The caption of Label6 is the only way a grading result travels from Submit to Continue. All
// calls are synchronous: runs nest but never overlap, and no handler keeps state of its own.
// The questions come from a QuestionSource: the built-in bank unless a pool has been opened;
// an exam has one question from each of its groups.
class Exam {
public:
    Exam(ExamControls& controls, bank::UniformSource& random);

    // The source of the next exam, which Form_Load starts; the source must outlive its use.
    void setSource(const bank::QuestionSource& source) { source_ = &source; }
    const bank::QuestionSource& source() const { return *source_; }

    void Form_Load();
    void Command1_Click(); // Solve
    void Command2_Click(); // Submit Answer
    void Command4_Click(); // Continue
    void Option1_Click() { selectedChoice_ = 1; }
    void Option2_Click() { selectedChoice_ = 2; }
    void Option3_Click() { selectedChoice_ = 3; }
    void Option4_Click() { selectedChoice_ = 4; }

    qint16 groupNumber() const { return groupNumber_; }
    qint16 questionIndex() const { return questionIndex_; }
    qint16 questionCount() const { return questionCount_; }
    qint16 correctCount() const { return correctCount_; }
    qint16 selectedChoice() const { return selectedChoice_; }
    const bank::LoadedQuestion& question() const { return question_; }

    // A counter as the window shows it: the digits after one blank, where a sign would go.
    static QString numberText(qint16 value);

private:
    void runEndOfExam();
    bool gradeSelectedChoice();

    ExamControls& controls_;
    bank::UniformSource& random_;
    const bank::QuestionSource* source_ = &bank::builtInBank();

    qint16 groupNumber_ = 0;
    qint16 questionIndex_ = 0;
    qint16 questionCount_ = 0;
    qint16 correctCount_ = 0;
    qint16 selectedChoice_ = 0;
    bank::LoadedQuestion question_;
};

} // namespace exam

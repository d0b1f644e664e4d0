#include "exam.h"

#include "runtimeerror.h"

namespace exam {

namespace {

const QString correctText = QStringLiteral("Correct");
const QString wrongText = QStringLiteral("WRONG");

// Answer choices 1 to 4 are Option1 to Option4.
Option answerOption(qint16 choice)
{
    return static_cast<Option>(choice);
}

} // namespace

Exam::Exam(ExamControls& controls, bank::UniformSource& random)
    : controls_(controls), random_(random)
{}

QString Exam::numberText(qint16 value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

void Exam::Form_Load()
{
    groupNumber_ = 0;
    questionCount_ = 0;
    correctCount_ = 0;
    questionIndex_ = 0;
    selectedChoice_ = 0;
    random_.seedFromClock();
    Command4_Click();
    controls_.setButtonVisible(Button::Command4, false);
    controls_.setButtonEnabled(Button::Command4, true);
    controls_.setButtonEnabled(Button::Command1, true);
    controls_.setButtonEnabled(Button::Command2, true);
}

void Exam::Command1_Click()
{
    controls_.setCaption(Label::Label3, numberText(groupNumber_));
    controls_.setCaption(Label::Label2, numberText(questionCount_));
    controls_.setCaption(Label::Label5, numberText(correctCount_));
    controls_.setCaption(Label::Label7, question_.questionText);
    controls_.setCaption(Label::Label1, question_.correctAnswer);
}

void Exam::Command4_Click()
{
    controls_.setCaption(Label::Label2, numberText(questionCount_));
    controls_.setCaption(Label::Label4, numberText(questionIndex_));
    if (controls_.caption(Label::Label6) == correctText)
        correctCount_ = bank::checkedIncrement(correctCount_);
    controls_.setCaption(Label::Label5, numberText(correctCount_));

    QString explanation;
    if (questionCount_ >= 0 && questionCount_ < source_->groupCount()) {
        groupNumber_ = bank::checkedIncrement(questionCount_);
        questionIndex_ = source_->indexForDraw(groupNumber_, random_.next());
        // Cleared for every question picked, not only the first of an exam, so that a
        // solution shown with Solve never stays beside a question it does not belong to.
        controls_.setCaption(Label::Label9, QString());
        controls_.setCaption(Label::Label1, QString());
        controls_.setCaption(Label::Label6, QString());
        explanation = source_->loadQuestion(groupNumber_, questionIndex_, question_);
    }

    controls_.setCaption(Label::Label9, explanation);
    controls_.setCaption(Label::Label7, question_.questionText);
    controls_.setCaption(Option::Option1, question_.choiceA);
    controls_.setCaption(Option::Option2, question_.choiceB);
    controls_.setCaption(Option::Option3, question_.choiceC);
    controls_.setCaption(Option::Option4, question_.choiceD);
    questionCount_ = bank::checkedIncrement(questionCount_);
    controls_.setCaption(Label::Label3, numberText(groupNumber_));
    controls_.setButtonVisible(Button::Command4, false);
    const QString result = controls_.caption(Label::Label6);
    if (result == wrongText || result == correctText)
        controls_.setCaption(Label::Label6, QString());
    if (controls_.isSelected(Option::Option6))
        Command1_Click();
}

void Exam::Command2_Click()
{
    if (questionCount_ > source_->groupCount()) {
        runEndOfExam();
        return;
    }
    controls_.setCaption(Label::Label6, QString());
    controls_.setCaption(Label::Label6, gradeSelectedChoice() ? correctText : wrongText);

    if (controls_.caption(Label::Label6) == wrongText) {
        if (controls_.isSelected(Option::Option6))
            Command1_Click();
        else
            controls_.setCaption(Label::Label1, QString());
        controls_.setButtonVisible(Button::Command4, true);
        // Label9 keeps the explanation that Continue showed with this question.
    } else {
        controls_.setButtonVisible(Button::Command4, false);
        if (controls_.isSelected(Option::Option5))
            controls_.setCaption(Label::Label1, QString());
        Command4_Click();
    }
}

bool Exam::gradeSelectedChoice()
{
    if (selectedChoice_ < 1 || selectedChoice_ > 4) {
        // No pick since this exam started, but an option may still show as selected from the
        // previous exam: grade what the screen shows. With none selected the answer is wrong.
        for (qint16 choice = 1; choice <= 4; ++choice) {
            if (controls_.isSelected(answerOption(choice)))
                selectedChoice_ = choice;
        }
        if (selectedChoice_ < 1 || selectedChoice_ > 4)
            return false;
    }
    const QString* choiceTexts[] = {&question_.choiceA, &question_.choiceB, &question_.choiceC,
                                    &question_.choiceD};
    // Both tests are always made, the selected state first.
    const bool selected = controls_.isSelected(answerOption(selectedChoice_));
    const bool matchesKey = *choiceTexts[selectedChoice_ - 1] == question_.correctAnswer;
    return selected && matchesKey;
}

void Exam::runEndOfExam()
{
    controls_.setButtonEnabled(Button::Command1, false);
    controls_.setButtonEnabled(Button::Command2, false);
    controls_.setButtonEnabled(Button::Command4, false);
    controls_.setCaption(Label::Label6, QString());
    questionCount_ = 0;
    if (controls_.askToContinue())
        Form_Load();
    else
        controls_.endProgram();
}

} // namespace exam

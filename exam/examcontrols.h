#pragma once

#include <QString>

namespace exam {

// The controls the exam reads and writes, by their names in the window, and the few
// operations it needs on them. The window implements this; the exam knows nothing else of it.
// Each value is the number in the control's name.
enum class Label { Label1 = 1, Label2, Label3, Label4, Label5, Label6, Label7, Label9 = 9 };
enum class Button { Command1 = 1, Command2, Command4 = 4 };
enum class Option { Option1 = 1, Option2, Option3, Option4, Option5, Option6 };

class ExamControls {
public:
    virtual QString caption(Label label) const = 0;
    virtual void setCaption(Label label, const QString& text) = 0;
    virtual void setCaption(Option option, const QString& text) = 0;
    virtual bool isSelected(Option option) const = 0;
    virtual void setButtonEnabled(Button button, bool enabled) = 0;
    virtual void setButtonVisible(Button button, bool visible) = 0;

    // The end-of-exam question "Exam Over. Do you want to continue?": true for Yes.
    virtual bool askToContinue() = 0;
    // Unloads the window and ends the program with status 0; nothing of the exam runs after.
    virtual void endProgram() = 0;

protected:
    ~ExamControls() = default;
};

} // namespace exam

#pragma once

#include <QPushButton>

// A push button that Enter and Return press as Space does. Outside a dialog a plain push
// button ignores them, and a keyboard user expects them to work on the focused button.
class CommandButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

#pragma once

#include <QPushButton>

// A push button that Enter and Return press as Space does, as users of the desktop this
// program comes from expect. Outside a dialog a plain push button ignores them.
class CommandButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

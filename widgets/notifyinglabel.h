#pragma once

#include <QLabel>

// A label whose text a screen reader speaks when it is announced, wherever the keyboard focus
// is. Assistive technology knows it as a notification, named by its text; announce() tells it
// that the notification has appeared. Qt 6.4 has no announcement event of its own, and the
// Linux bridge passes name and description changes on in a form that screen readers cannot
// speak, so this is the one way to be heard without taking the focus.
class NotifyingLabel : public QLabel {
    Q_OBJECT

public:
    explicit NotifyingLabel(const QString& text, QWidget* parent = nullptr);

    void announce();
};

#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>

class QScreen;
class QWidget;
class QWindow;

// Tells a top-level window when the rule "fit the screen you are on" must be applied again:
// when the window moves to another screen, or the available area of its screen changes.
class ScreenFollower : public QObject {
    Q_OBJECT

public:
    explicit ScreenFollower(QWidget* window);

    // Starts following once the window has its native window, that is from its show event
    // onwards; calling it again does nothing new.
    void attach();

signals:
    void changed();

private:
    void follow(QScreen* screen);

    QWidget* window_;
    QPointer<QWindow> handle_;
    QMetaObject::Connection screenWatch_;
};

#pragma once

#include <QScrollArea>

class ScreenFollower;

// Holds a window's client area, which is laid out at a fixed size, and fits the window to the
// screen it is on. Where the window as designed fits the screen's available area, it keeps its
// fixed size and nothing scrolls. Where it does not, the window is made no larger than that
// area and resizable within it, and the client area scrolls at its designed size. A control
// that takes the keyboard focus is scrolled into view. The rule is applied again whenever the
// window moves to another screen or the available area of its screen changes.
class ClientScrollArea : public QScrollArea {
    Q_OBJECT

public:
    // The area becomes the central widget of `window`; `clientArea` keeps its size.
    ClientScrollArea(QWidget* clientArea, QWidget* window);

    // Fits the window again after the client area has changed its size.
    void fitClientArea() { fitToScreen(); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSize windowFrame() const;
    void fitToScreen();
    void showFocusWidget(QWidget* previous, QWidget* current);

    ScreenFollower* screenFollower_;
    QSize fittedFrame_{0, 0}; // the window frame the last fit allowed for
};

#include "clientscrollarea.h"

#include "screenfollower.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>

#include <cmath>

ClientScrollArea::ClientScrollArea(QWidget* clientArea, QWidget* window)
    : QScrollArea(window), screenFollower_(new ScreenFollower(window))
{
    // With no frame and the client area filling it, the scroll area draws nothing of its own.
    setFrameShape(QFrame::NoFrame);
    // Only the controls take the focus: the scroll area is no stop of its own in the tab order.
    setFocusPolicy(Qt::NoFocus);
    setWidget(clientArea);
    setFixedSize(clientArea->size());
    connect(qApp, &QApplication::focusChanged, this, &ClientScrollArea::showFocusWidget);
    connect(screenFollower_, &ScreenFollower::changed, this, &ClientScrollArea::fitToScreen);
    window->installEventFilter(this);
}

// The window's screen is known for certain once it is about to be shown.
void ClientScrollArea::showEvent(QShowEvent* event)
{
    QScrollArea::showEvent(event);
    screenFollower_->attach();
    fitToScreen();
}

// A window manager reports the frame it puts around the window only after the window is shown,
// and then moves the window into it.
bool ClientScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window() && event->type() == QEvent::Move && windowFrame() != fittedFrame_)
        fitToScreen();
    return QScrollArea::eventFilter(watched, event);
}

// What the window frame (title bar and borders) adds to the window's size, as far as known.
QSize ClientScrollArea::windowFrame() const
{
    return window()->frameGeometry().size() - window()->size();
}

void ClientScrollArea::fitToScreen()
{
    QWidget* const top = window();
    QLayout* const layout = top->layout();
    const QScreen* const screen = top->screen();
    if (layout == nullptr || screen == nullptr)
        return;
    const bool wasFixed = layout->sizeConstraint() == QLayout::SetFixedSize;

    // The window as designed: the whole client area, and the menu bar above it.
    setFixedSize(widget()->size());
    const QSize designed = top->sizeHint();
    fittedFrame_ = windowFrame();
    QSize room = screen->availableGeometry().size() - fittedFrame_;
    // At a fractional scale the screen's size is rounded to whole device-independent pixels,
    // up as often as down; a pixel less is sure to be on the screen.
    if (const qreal scale = screen->devicePixelRatio(); scale != std::floor(scale))
        room -= QSize(1, 1);
    if (designed.width() <= room.width() && designed.height() <= room.height()) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
        return;
    }

    // Too large: as much of the design as fits, with room for a scroll bar in each direction
    // that scrolls, and no smaller than the menu bar and scroll bars need.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    QSize wanted = designed;
    if (designed.height() > room.height())
        wanted.rwidth() += bar;
    if (designed.width() > room.width())
        wanted.rheight() += bar;
    const QSize largest = wanted.boundedTo(room);
    layout->setSizeConstraint(QLayout::SetDefaultConstraint);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    top->setMinimumSize(0, 0);
    top->setMaximumSize(largest);
    if (wasFixed)
        top->resize(largest);
}

// Covers every way the focus moves: Tab and Shift+Tab, the arrow keys within a group, a click,
// and the moves the window makes itself for a screen reader.
void ClientScrollArea::showFocusWidget(QWidget* /*previous*/, QWidget* current)
{
    if (current != nullptr && widget()->isAncestorOf(current))
        ensureWidgetVisible(current);
}

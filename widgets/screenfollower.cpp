#include "screenfollower.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

ScreenFollower::ScreenFollower(QWidget* window) : QObject(window), window_(window) {}

void ScreenFollower::attach()
{
    QWindow* const handle = window_->windowHandle();
    if (handle == nullptr || handle == handle_)
        return;
    handle_ = handle;
    connect(handle, &QWindow::screenChanged, this, [this](QScreen* screen) {
        follow(screen);
        emit changed();
    });
    follow(handle->screen());
}

void ScreenFollower::follow(QScreen* screen)
{
    disconnect(screenWatch_);
    if (screen != nullptr)
        screenWatch_ =
            connect(screen, &QScreen::availableGeometryChanged, this, &ScreenFollower::changed);
}

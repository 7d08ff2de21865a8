#include "app/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace vertoko {

namespace {

int ShiftInto(int start, int length, int areaStart, int areaLength) {
    if (length >= areaLength) return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

// The frame a window will have when shown. A window that has not been shown
// yet has no frame of its own, so the main window's frame stands in for it.
QRect ExpectedFrame(const QWidget* window, const QWidget* mainWindow) {
    if (window->frameGeometry() != window->geometry()) return window->frameGeometry();
    QMargins margins;
    if (mainWindow != nullptr && mainWindow->windowHandle() != nullptr) {
        margins = mainWindow->windowHandle()->frameMargins();
    }
    // A window's position is its frame's corner, shown or not.
    return QRect(window->pos(), window->size().grownBy(margins));
}

QScreen* HomeScreen(const QWidget* window, const QWidget* mainWindow) {
    if (mainWindow != nullptr && mainWindow != window && mainWindow->isVisible()) {
        return mainWindow->screen();
    }
    const QRect frame = window->frameGeometry();
    if (QScreen* screen = QGuiApplication::screenAt(frame.center())) return screen;
    return QGuiApplication::primaryScreen();
}

class ScreenKeeper : public QObject {
  public:
    ScreenKeeper(QWidget* window, QWidget* mainWindow)
        : QObject(window), window_(window), mainWindow_(mainWindow) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The show event comes before the window is mapped, so a moved
        // window never flashes at its old place. A window the user brings
        // back from an icon (a spontaneous show) stays where they left it.
        if (watched == window_ && event->type() == QEvent::Show && !event->spontaneous()) Place();
        return false;
    }

  private:
    void Place() {
        const QScreen* home = HomeScreen(window_, mainWindow_);
        if (home == nullptr) return;
        QList<QRect> screens;
        for (const QScreen* screen : QGuiApplication::screens()) {
            screens << screen->availableGeometry();
        }
        const QRect frame = ExpectedFrame(window_, mainWindow_);
        const QPoint corner = PlacedFramePosition(frame, screens, home->availableGeometry());
        // Moving only when needed leaves a dialog's own centring alone.
        if (corner != frame.topLeft()) window_->move(corner);
    }

    QWidget* window_;
    QPointer<QWidget> mainWindow_;
};

class BesideAtFirst : public QObject {
  public:
    BesideAtFirst(QWidget* window, QWidget* mainWindow)
        : QObject(window), window_(window), mainWindow_(mainWindow) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::Show || event->spontaneous() || done_)
            return false;
        done_ = true;
        if (mainWindow_ == nullptr || !mainWindow_->isVisible()) return false;
        const QScreen* home = mainWindow_->screen();
        if (home == nullptr) return false;
        const QRect frame = ExpectedFrame(window_, mainWindow_);
        const std::optional<QPoint> beside = BesideFramePosition(
            mainWindow_->frameGeometry(), frame.size(), home->availableGeometry());
        if (beside) window_->move(*beside);
        return false;
    }

  private:
    QWidget* window_;
    QPointer<QWidget> mainWindow_;
    bool done_ = false;
};

}  // namespace

std::optional<QPoint> BesideFramePosition(const QRect& mainFrame, const QSize& size,
                                          const QRect& home) {
    if (size.height() > home.height()) return std::nullopt;
    const int y = ShiftInto(mainFrame.y(), size.height(), home.y(), home.height());
    const int right = mainFrame.x() + mainFrame.width();
    if (right + size.width() <= home.x() + home.width() && right >= home.x())
        return QPoint(right, y);
    const int left = mainFrame.x() - size.width();
    if (left >= home.x() && left + size.width() <= home.x() + home.width()) return QPoint(left, y);
    return std::nullopt;
}

void OpenBesideAtFirst(QWidget* window, QWidget* mainWindow) {
    window->installEventFilter(new BesideAtFirst(window, mainWindow));
}

QPoint PlacedFramePosition(const QRect& frame, const QList<QRect>& screens, const QRect& home) {
    QRegion visible;
    for (const QRect& screen : screens) visible += screen;
    if (!frame.isEmpty() && QRegion(frame).subtracted(visible).isEmpty()) return frame.topLeft();
    if (home.isEmpty()) return frame.topLeft();
    return {ShiftInto(frame.x(), frame.width(), home.x(), home.width()),
            ShiftInto(frame.y(), frame.height(), home.y(), home.height())};
}

void KeepOnScreen(QWidget* window, QWidget* mainWindow) {
    window->installEventFilter(new ScreenKeeper(window, mainWindow));
}

}  // namespace vertoko

#include "controls/url_label.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QUrl>

namespace vertoko {

namespace {

TURLLabel::OpenHandler& CurrentOpenHandler() {
    static TURLLabel::OpenHandler handler;
    return handler;
}

void OpenTarget(const QString& target) {
    if (CurrentOpenHandler()) {
        CurrentOpenHandler()(target);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

}  // namespace

TURLLabel::TURLLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    SetFontColor(clWindowText);
}

void TURLLabel::SetOpenHandler(OpenHandler handler) { CurrentOpenHandler() = std::move(handler); }

void TURLLabel::SetFontColor(TColor color) {
    fontColor_ = color;
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, ToQColor(color));
    setPalette(colors);
    update();
}

void TURLLabel::SetHotTrack(bool hotTrack) {
    if (hotTrack == hotTrack_) return;
    hotTrack_ = hotTrack;
    update();
}

void TURLLabel::SetHotColor(TColor color) {
    if (color == hotColor_) return;
    hotColor_ = color;
    update();
}

void TURLLabel::CMMouseEnter() {
    if (!hotTrack_) return;
    savedColor_ = fontColor_;
    SetFontColor(hotColor_);
}

void TURLLabel::CMMouseLeave() {
    if (!hotTrack_) return;
    SetFontColor(savedColor_);
}

void TURLLabel::MouseDown() {
    if (hotTrack_) SetFontColor(pushedColor_);
    if (executable_) OpenTarget(text());
}

void TURLLabel::MouseUp(const QPoint& position) {
    if (!hotTrack_) return;
    SetFontColor(rect().contains(position) ? hotColor_ : savedColor_);
}

void TURLLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    CMMouseEnter();
}

void TURLLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    CMMouseLeave();
}

void TURLLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    MouseDown();
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    MouseUp(event->position().toPoint());
}

}  // namespace vertoko

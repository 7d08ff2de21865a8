#include "controls/mouse_picture.h"

#include <QPainter>
#include <QPainterPath>

namespace vertoko {

namespace {

// The body spans x 5..18 and y 2..21; the buttons share its top third.
constexpr int kBodyLeft = 5;
constexpr int kBodyTop = 2;
constexpr int kBodyWidth = 14;
constexpr int kBodyHeight = 20;
constexpr int kButtonHeight = 7;

}  // namespace

QRect MouseLeftButtonRect() {
    return QRect(kBodyLeft + 1, kBodyTop + 1, kBodyWidth / 2 - 2, kButtonHeight);
}

QRect MouseRightButtonRect() {
    return QRect(kBodyLeft + kBodyWidth / 2 + 1, kBodyTop + 1, kBodyWidth / 2 - 2, kButtonHeight);
}

QColor MouseMarkColor() { return QColor(128, 200, 255); }

QColor MouseBackgroundColor() { return QColor(192, 192, 192); }

QImage MousePicture(MouseButtonMark mark) {
    QImage picture(kMousePictureSize, kMousePictureSize, QImage::Format_RGB32);
    picture.fill(MouseBackgroundColor());
    QPainter painter(&picture);
    const QRect body(kBodyLeft, kBodyTop, kBodyWidth - 1, kBodyHeight - 1);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(body, 5, 5);
    // The buttons are clipped to the inside of the rounded body.
    QPainterPath inside;
    inside.addRoundedRect(body.adjusted(1, 1, 0, 0), 4, 4);
    painter.setClipPath(inside);
    if (mark != MouseButtonMark::Right) painter.fillRect(MouseLeftButtonRect(), MouseMarkColor());
    if (mark != MouseButtonMark::Left) painter.fillRect(MouseRightButtonRect(), MouseMarkColor());
    painter.setClipping(false);
    const int middle = kBodyLeft + kBodyWidth / 2;
    painter.drawLine(middle, kBodyTop, middle, kBodyTop + kButtonHeight + 1);
    painter.drawLine(kBodyLeft, kBodyTop + kButtonHeight + 1, kBodyLeft + kBodyWidth - 1,
                     kBodyTop + kButtonHeight + 1);
    return picture;
}

}  // namespace vertoko

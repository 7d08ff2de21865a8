// The 24 x 24 pictures of a mouse seen from above that the help dialog shows
// beside each mouse control: a grey background, the mouse body, and the
// buttons in use filled in light blue. Drawn at run time.
#pragma once

#include <QImage>
#include <QRect>

namespace vertoko {

enum class MouseButtonMark { Left, Right, Both };

constexpr int kMousePictureSize = 24;

// Where the two buttons lie inside the picture.
QRect MouseLeftButtonRect();
QRect MouseRightButtonRect();

// The light blue of a marked button and the grey background.
QColor MouseMarkColor();
QColor MouseBackgroundColor();

QImage MousePicture(MouseButtonMark mark);

}  // namespace vertoko

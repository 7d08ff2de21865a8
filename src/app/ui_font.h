// The font of every window: the Japanese UI font at 12 pixels where it is
// installed, else a Japanese sans-serif font at the same size.
#pragma once

#include <QFont>

namespace vertoko {

QFont UiFont();

}  // namespace vertoko

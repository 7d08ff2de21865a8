// The application's standard error box: a modal message with the
// application's title, for errors that escape a command.
#pragma once

#include <QString>

namespace vertoko {

void ShowErrorBox(const QString& message);

}  // namespace vertoko

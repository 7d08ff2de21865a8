// Qt's own translation for the standard dialogs (open, save, colour, the
// message boxes), so that their captions and buttons are Japanese like the
// rest of the program whatever the user's locale.
#pragma once

#include <QString>

namespace vertoko {

// Qt's translations folder.
QString QtTranslationsFolder();

// Installs qtbase_ja.qm from folder into the running application. False,
// and nothing installed, where the file is missing or unreadable: the
// dialogs then keep Qt's English.
bool InstallQtTranslation(const QString& folder = QtTranslationsFolder());

}  // namespace vertoko

#include "app/completion_popup.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialog>
#include <QLineEdit>

namespace vertoko {

void CloseCompletionWhenFinished(QDialog* dialog) {
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog] {
        // Looked up each time: the dialog may make its line edits late.
        for (const QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
            const QCompleter* completer = edit->completer();
            if (completer != nullptr && completer->popup() != nullptr) completer->popup()->hide();
        }
    });
}

}  // namespace vertoko

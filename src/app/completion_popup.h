// The name completion of a kept file dialog. Its pop-up closes only when
// its line edit loses the focus; a dialog that ends on Return while the
// pop-up shows keeps that focus (a hidden window's focus widget stays its
// own while a pop-up is open), so the pop-up would stay on the screen over
// the main window and swallow the next click.
#pragma once

class QDialog;

namespace vertoko {

// Closes the completion pop-ups of dialog's line edits whenever dialog
// finishes, however it finishes.
void CloseCompletionWhenFinished(QDialog* dialog);

}  // namespace vertoko

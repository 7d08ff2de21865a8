#include "controls/numedit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>

#include "controls/numedit_format.h"

namespace vertoko {

namespace {

TNumEdit::ErrorHandler& CurrentErrorHandler() {
    static TNumEdit::ErrorHandler handler;
    return handler;
}

void ShowCriticalBox(QWidget* parent, const std::string& message) {
    QMessageBox::critical(parent, QApplication::applicationDisplayName(),
                          QString::fromStdString(message));
}

}  // namespace

TNumEdit::TNumEdit(QWidget* owner) : QLineEdit(owner) {
    setText(QStringLiteral("0"));
    setAlignment(alignment_ | Qt::AlignVCenter);
}

void TNumEdit::SetErrorHandler(ErrorHandler handler) { CurrentErrorHandler() = std::move(handler); }

void TNumEdit::SetAlignment(Qt::Alignment alignment) {
    alignment &= Qt::AlignHorizontal_Mask;
    if (alignment == alignment_) return;
    alignment_ = alignment;
    setAlignment(alignment_ | Qt::AlignVCenter);
}

void TNumEdit::SetThousands(bool thousands) {
    if (thousands == thousands_) return;
    thousands_ = thousands;
    Reformat();
}

void TNumEdit::SetDecimalDidits(std::uint8_t decimals) {
    if (decimals == decimals_) return;
    decimals_ = decimals;
    Reformat();
}

void TNumEdit::SetValue(std::int64_t value) {
    value_ = value;
    const std::string shown =
        thousands_ ? vertoko::FormatDecimal(vertoko::FixedToDecimal(value), decimals_, true)
                   : vertoko::FixedToShortest(value);
    setText(QString::fromStdString(shown));
}

bool TNumEdit::Reformat() {
    const std::string typed = text().toStdString();
    const auto shown =
        thousands_ ? vertoko::StrToCurr(typed, decimals_) : vertoko::StrToFloat2(typed, decimals_);
    if (!shown) {
        ReportNotAFloat(vertoko::CurrToStr(typed));
        return false;
    }
    setText(QString::fromStdString(*shown));
    return true;
}

bool TNumEdit::CMExit() {
    // Check the whole step before touching anything, so that a failure
    // leaves both the typed text and Value as they were.
    const std::string cleaned = vertoko::CurrToStr(text().toStdString());
    const auto number = vertoko::ParseDecimalText(cleaned);
    if (!number) {
        ReportNotAFloat(cleaned);
        return false;
    }
    const std::string shown = vertoko::FormatDecimal(*number, decimals_, thousands_);
    const auto shownNumber = vertoko::ParseDecimalText(vertoko::CurrToStr(shown));
    const auto fixed = shownNumber ? vertoko::DecimalToFixed(*shownNumber) : std::nullopt;
    if (!fixed) {
        // Too large for the fixed-point value: refused like any other text
        // that cannot be taken as a number.
        ReportNotAFloat(cleaned);
        return false;
    }
    setText(QString::fromStdString(shown));
    value_ = *fixed;
    return true;
}

void TNumEdit::ReportNotAFloat(const std::string& cleaned) {
    ReportError(this, vertoko::NotAFloatMessage(cleaned));
}

void TNumEdit::ReportError(QWidget* parent, const std::string& message) {
    if (CurrentErrorHandler()) {
        CurrentErrorHandler()(parent, message);
    } else {
        ShowCriticalBox(parent, message);
    }
}

void TNumEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu or another window taking the focus is not leaving the
    // control; the error box itself would otherwise trigger a second check.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (exiting_) return;
    exiting_ = true;
    CMExit();
    exiting_ = false;
}

void TNumEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter never enters the text. It still reaches the dialog's default
        // button, but only after the typed number has been taken, so that
        // OK sees what the user sees; a text that is not a number keeps the
        // dialog open.
        if (exiting_) return event->accept();
        exiting_ = true;
        const bool taken = CMExit();
        exiting_ = false;
        if (!taken) return event->accept();
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace vertoko

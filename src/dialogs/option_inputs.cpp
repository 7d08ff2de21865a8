#include "dialogs/option_inputs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "controls/numedit.h"
#include "controls/numedit_format.h"
#include "dialogs/dialog_style.h"
#include "dialogs/estray_options.h"
#include "dialogs/estray_options_box.h"

namespace vertoko {

namespace {

// The inputs' font; captions take the dialog's.
constexpr int kInputPixels = 13;

// TNumEdit counts ten-thousandths.
constexpr double kFixedScale = 10000.0;

QLabel* CaptionLabel(const OptionRow& row, QWidget* parent) {
    if (row.caption.empty()) return nullptr;
    return new QLabel(QString::fromUtf8(row.caption.data(), static_cast<int>(row.caption.size())),
                      parent);
}

class SwitchInput : public OptionInput {
  public:
    SwitchInput(const OptionRow& row, QWidget* parent)
        : OptionInput(row),
          box_(new QCheckBox(
              QString::fromUtf8(row.caption.data(), static_cast<int>(row.caption.size())),
              parent)) {}

    QWidget* Input() const override { return box_; }
    void Set(const AppSettings& settings) override {
        box_->setChecked(OptionValue<std::int32_t>(row_, settings) != 0);
    }
    void Get(AppSettings& settings) override {
        OptionValue<std::int32_t>(row_, settings) = box_->isChecked() ? 1 : 0;
    }
    void Note() override { noted_ = box_->isChecked(); }
    void Restore() override { box_->setChecked(noted_); }

  private:
    QCheckBox* box_;
    bool noted_ = false;
};

// Distances, angles and integers in a TNumEdit.
class NumberInput : public OptionInput {
  public:
    NumberInput(const OptionRow& row, QWidget* parent)
        : OptionInput(row), label_(CaptionLabel(row, parent)), edit_(new TNumEdit(parent)) {
        edit_->setFont(DialogFont(kInputPixels));
        switch (row.kind) {
            case OptionKind::Distance:
                edit_->SetDecimalDidits(5);
                SetWidthInDigits(edit_, 12);
                break;
            case OptionKind::Angle:
                edit_->SetDecimalDidits(1);
                SetWidthInDigits(edit_, 6);
                break;
            default:
                edit_->SetDecimalDidits(0);
                SetWidthInDigits(edit_, 6);
                break;
        }
    }

    QWidget* Input() const override { return edit_; }
    QLabel* Label() const override { return label_; }

    void Set(const AppSettings& settings) override {
        if (row_.kind == OptionKind::Integer) {
            edit_->SetValue(OptionValue<std::int32_t>(row_, settings) *
                            static_cast<std::int64_t>(kFixedScale));
        } else {
            edit_->SetValue(RoundHalfEven(static_cast<double>(OptionValue<float>(row_, settings)) *
                                          kFixedScale));
        }
    }

    void Get(AppSettings& settings) override {
        if (row_.kind == OptionKind::Distance) {
            OptionValue<float>(row_, settings) =
                static_cast<float>(static_cast<double>(edit_->Value()) * 0.0001);
            return;
        }
        // Held to the row's range, and shown as it was kept.
        std::int64_t value = edit_->Value();
        if (row_.kind == OptionKind::Integer)
            value = RoundHalfEven(static_cast<double>(value) / kFixedScale) *
                    static_cast<std::int64_t>(kFixedScale);
        value = std::clamp(value, RoundHalfEven(row_.min * kFixedScale),
                           RoundHalfEven(row_.max * kFixedScale));
        if (value != edit_->Value()) edit_->SetValue(value);
        if (row_.kind == OptionKind::Integer) {
            OptionValue<std::int32_t>(row_, settings) =
                static_cast<std::int32_t>(value / static_cast<std::int64_t>(kFixedScale));
        } else {
            OptionValue<float>(row_, settings) =
                static_cast<float>(static_cast<double>(value) * 0.0001);
        }
    }

    void Note() override { noted_ = edit_->Value(); }
    void Restore() override { edit_->SetValue(noted_); }

    std::string Refusal() const override {
        if (row_.kind != OptionKind::Angle && row_.kind != OptionKind::Integer) return {};
        const std::int64_t value = edit_->Value();
        if (value >= RoundHalfEven(row_.min * kFixedScale) &&
            value <= RoundHalfEven(row_.max * kFixedScale))
            return {};
        const std::string name =
            row_.caption.empty() ? std::string(row_.valueNoun) : std::string(row_.caption);
        return name + "は " + FixedToShortest(RoundHalfEven(row_.min * kFixedScale)) + " から " +
               FixedToShortest(RoundHalfEven(row_.max * kFixedScale)) +
               " までの値を入力してください.";
    }

  private:
    QLabel* label_;
    TNumEdit* edit_;
    std::int64_t noted_ = 0;
};

class TextInput : public OptionInput {
  public:
    TextInput(const OptionRow& row, QWidget* parent)
        : OptionInput(row), label_(CaptionLabel(row, parent)), edit_(new QLineEdit(parent)) {
        edit_->setFont(DialogFont(kInputPixels));
        edit_->setMaxLength(static_cast<int>(row.maxBytes));
    }

    QWidget* Input() const override { return edit_; }
    QLabel* Label() const override { return label_; }

    void Set(const AppSettings& settings) override {
        edit_->setText(QString::fromStdString(OptionValue<std::string>(row_, settings)));
    }

    void Get(AppSettings& settings) override {
        // A text cut to fit is shown as it was kept.
        const std::string typed = edit_->text().toStdString();
        std::string& value = OptionValue<std::string>(row_, settings);
        value = StatementText(typed, row_.maxBytes);
        if (!value.empty() && value != typed) edit_->setText(QString::fromStdString(value));
    }

    void Note() override { noted_ = edit_->text(); }
    void Restore() override { edit_->setText(noted_); }

  private:
    QLabel* label_;
    QLineEdit* edit_;
    QString noted_;
};

// A file's path: a line to type it in and a button that browses for it.
class FileInput : public OptionInput {
  public:
    FileInput(const OptionRow& row, QWidget* parent)
        : OptionInput(row),
          label_(CaptionLabel(row, parent)),
          box_(new QWidget(parent)),
          edit_(new QLineEdit(box_)),
          browse_(new QPushButton(QString::fromUtf8("参照..."), box_)) {
        auto* layout = new QHBoxLayout(box_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(4);
        layout->addWidget(edit_, 1);
        layout->addWidget(browse_);
        edit_->setFont(DialogFont(kInputPixels));
        edit_->setMaxLength(static_cast<int>(row.maxBytes));
        edit_->setObjectName(QString::fromUtf8(row.key.data(), static_cast<int>(row.key.size())));
        browse_->setObjectName(edit_->objectName() + QStringLiteral("Browse"));
        SetWidthInDigits(edit_, 24);
        QObject::connect(browse_, &QPushButton::clicked, box_, [this] { Browse(); });
    }

    QWidget* Input() const override { return box_; }
    QLabel* Label() const override { return label_; }

    void Set(const AppSettings& settings) override {
        edit_->setText(QString::fromStdString(OptionValue<std::string>(row_, settings)));
    }
    void Get(AppSettings& settings) override {
        // A path is taken as typed, with the blanks around it left out and
        // shown as it was kept; one too long for the settings file is
        // refused rather than cut.
        const QString kept = edit_->text().trimmed();
        if (kept != edit_->text()) edit_->setText(kept);
        OptionValue<std::string>(row_, settings) = kept.toStdString();
    }
    void Note() override { noted_ = edit_->text(); }
    void Restore() override { edit_->setText(noted_); }

    std::string Refusal() const override {
        if (static_cast<std::size_t>(edit_->text().trimmed().toUtf8().size()) <= row_.maxBytes)
            return {};
        return std::string(row_.caption) + "の名前が長すぎます.";
    }

  private:
    void Browse() {
        const QString current = edit_->text().trimmed();
        const QString folder = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
        const QString chosen = QFileDialog::getOpenFileName(
            box_, QString::fromUtf8(row_.caption.data(), static_cast<int>(row_.caption.size())),
            folder, QString::fromUtf8("テキスト (*.txt);;すべてのファイル (*)"));
        if (!chosen.isEmpty()) edit_->setText(chosen);
    }

    QLabel* label_;
    QWidget* box_;
    QLineEdit* edit_;
    QPushButton* browse_;
    QString noted_;
};

class ChoiceInput : public OptionInput {
  public:
    ChoiceInput(const OptionRow& row, QWidget* parent)
        : OptionInput(row), label_(CaptionLabel(row, parent)), list_(new QComboBox(parent)) {
        list_->setFont(DialogFont(kInputPixels));
        for (std::string_view word : row.labels.empty() ? row.words : row.labels)
            list_->addItem(QString::fromUtf8(word.data(), static_cast<int>(word.size())));
    }

    QWidget* Input() const override { return list_; }
    QLabel* Label() const override { return label_; }

    void Set(const AppSettings& settings) override {
        list_->setCurrentIndex(OptionValue<std::int32_t>(row_, settings));
    }
    void Get(AppSettings& settings) override {
        OptionValue<std::int32_t>(row_, settings) = list_->currentIndex();
    }
    void Note() override { noted_ = list_->currentIndex(); }
    void Restore() override { list_->setCurrentIndex(noted_); }

  private:
    QLabel* label_;
    QComboBox* list_;
    int noted_ = 0;
};

class EstrayInput : public OptionInput {
  public:
    EstrayInput(const OptionRow& row, QWidget* parent)
        : OptionInput(row), box_(new EstrayOptionsBox(row.maxBytes, parent)) {}

    QWidget* Input() const override { return box_; }
    void Set(const AppSettings& settings) override {
        box_->SetOptions(OptionValue<std::string>(row_, settings));
    }
    void Get(AppSettings& settings) override {
        OptionValue<std::string>(row_, settings) = box_->Options();
    }
    void Note() override { box_->Note(); }
    void Restore() override { box_->Restore(); }

  private:
    EstrayOptionsBox* box_;
};

}  // namespace

void OptionInput::SetUsable(bool usable) {
    SetInputUsable(Input(), usable);
    if (QLabel* label = Label()) label->setEnabled(usable);
}

std::unique_ptr<OptionInput> MakeOptionInput(const OptionRow& row, QWidget* parent) {
    switch (row.kind) {
        case OptionKind::Switch:
            return std::make_unique<SwitchInput>(row, parent);
        case OptionKind::Integer:
        case OptionKind::Distance:
        case OptionKind::Angle:
            return std::make_unique<NumberInput>(row, parent);
        case OptionKind::Choice:
            return std::make_unique<ChoiceInput>(row, parent);
        case OptionKind::Text:
            return std::make_unique<TextInput>(row, parent);
        case OptionKind::EstrayString:
            return std::make_unique<EstrayInput>(row, parent);
        case OptionKind::FileName:
            return std::make_unique<FileInput>(row, parent);
        case OptionKind::Colour:
            break;
    }
    return nullptr;
}

}  // namespace vertoko

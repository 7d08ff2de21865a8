// Qt's Japanese translation makes the standard dialogs Japanese; where the
// translation is not installed the program goes on in English.
#include "app/qt_translation.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/main_form.h"

namespace vertoko {
namespace {

QString AcceptCaption(QFileDialog* dialog) {
    // The widgets of a file dialog exist once it has been shown.
    dialog->show();
    const auto* box = dialog->findChild<QDialogButtonBox*>();
    dialog->hide();
    if (box == nullptr) return {};
    const QPushButton* button =
        box->button(dialog->acceptMode() == QFileDialog::AcceptOpen ? QDialogButtonBox::Open
                                                                    : QDialogButtonBox::Save);
    return button != nullptr ? button->text() : QString();
}

TEST(QtTranslationTest, StandardDialogsSpeakJapaneseWhenTheTranslationIsThere) {
    // A folder without the file: nothing installed, no complaint.
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    EXPECT_FALSE(InstallQtTranslation(empty.path()));
    EXPECT_EQ(QFileDialog().windowTitle(), QStringLiteral("Open"));
    EXPECT_EQ(QColorDialog().windowTitle(), QStringLiteral("Select Color"));

    if (!QFile::exists(QtTranslationsFolder() + QStringLiteral("/qtbase_ja.qm"))) {
        GTEST_SKIP() << "Qt's Japanese translation is not installed";
    }
    ASSERT_TRUE(InstallQtTranslation());
    TMainForm form(empty.filePath("vertoko.ini").toStdString(), {});
    EXPECT_EQ(AcceptCaption(form.OpenDialog), QStringLiteral("開く(&O)"));
    EXPECT_EQ(form.OpenDialog->windowTitle(), QStringLiteral("開く"));
    EXPECT_EQ(AcceptCaption(form.SaveDialog), QStringLiteral("保存(&S)"));
    EXPECT_EQ(form.SaveDialog->windowTitle(), QStringLiteral("名前を付けて保存"));
    EXPECT_EQ(QColorDialog().windowTitle(), QStringLiteral("色を選択"));
}

}  // namespace
}  // namespace vertoko

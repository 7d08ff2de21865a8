// The help dialog: its pages switched by the tabs and kept between openings,
// its texts, the title label, the link, and the drawn mouse pictures.
#include "controls/about_box.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <vector>

#include "controls/mouse_picture.h"
#include "controls/shadow_label.h"
#include "controls/url_label.h"

namespace vertoko {
namespace {

TEST(TAboutBox, PagesFollowTheTabsAndTheLastPageShowsAtTheNextOpening) {
    TAboutBox box;
    box.open();
    ASSERT_TRUE(box.isVisible());
    EXPECT_TRUE(box.Panel1->isVisible());
    EXPECT_FALSE(box.Panel2->isVisible());

    box.TabPage->setCurrentIndex(1);
    EXPECT_FALSE(box.Panel1->isVisible());
    EXPECT_TRUE(box.Panel2->isVisible());
    QTest::mouseClick(box.OKButton, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);

    box.open();
    EXPECT_EQ(box.TabPage->currentIndex(), 1);
    EXPECT_TRUE(box.Panel2->isVisible());
    EXPECT_FALSE(box.Panel1->isVisible());
    box.TabPage->setCurrentIndex(0);
    EXPECT_TRUE(box.Panel1->isVisible());
    EXPECT_FALSE(box.Panel2->isVisible());
    box.reject();  // the close box
    box.open();
    EXPECT_TRUE(box.Panel1->isVisible());
    box.accept();
}

TEST(TAboutBox, CaptionsTabsAndTexts) {
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), QString("Vertoko ヘルプ"));
    EXPECT_EQ(box.size(), QSize(239, 212));
    ASSERT_EQ(box.TabPage->count(), 2);
    EXPECT_EQ(box.TabPage->tabText(0), QString("プレビュー操作"));
    EXPECT_EQ(box.TabPage->tabText(1), QString("バージョン情報"));
    EXPECT_EQ(box.TabPage->currentIndex(), 0);
    EXPECT_EQ(box.OKButton->text(), QString("OK"));
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_EQ(box.Label1->text(), QString("+ ドラッグ操作 ： 回転"));
    EXPECT_EQ(box.Label2->text(), QString("+ ドラッグ操作 ： 移動"));
    EXPECT_EQ(box.Label3->text(), QString("+ ドラッグ操作 ： 拡大縮小"));
    EXPECT_EQ(box.Label4->text(), QString("ダブルクリック ： 視点リセット"));
    EXPECT_EQ(box.Label5->text(), QString("マウスホイール ： 拡大縮小"));
    EXPECT_EQ(box.Label6->text(), QString("スペースキー   ： ﾜｲﾔｰﾌﾚｰﾑ表示切替え"));
    EXPECT_EQ(box.Version->text(), QString("Version: 1.12"));
    EXPECT_FALSE(box.Copyright->text().isEmpty());
    // Every label of the first page fits inside it.
    for (QLabel* label : {box.Label1, box.Label2, box.Label3, box.Label4, box.Label5, box.Label6})
        EXPECT_TRUE(box.Panel1->rect().contains(label->geometry())) << label->text().toStdString();
    // The texts of the version page are not cut at the panel's edges.
    for (QLabel* label : {box.Version, box.Copyright, static_cast<QLabel*>(box.URLLabel1)}) {
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
        EXPECT_TRUE(box.Panel2->rect().contains(label->geometry())) << label->text().toStdString();
    }
}

TEST(TAboutBox, TitleIsABoldShadowLabelWithGreyShadowAndWhiteHighlight) {
    TAboutBox box;
    TShadowLabel* title = box.ShadowLabel1;
    EXPECT_EQ(title->text(), QString("Vertoko for Windows"));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->font().pixelSize(), 15);
    EXPECT_EQ(title->Shadow().Color(), clGray);
    EXPECT_EQ(title->Highlight().Color(), clWhite);
    EXPECT_EQ(title->Highlight().OffsetLeft(), -1);
    EXPECT_EQ(title->Highlight().OffsetTop(), -1);
    EXPECT_FALSE(title->Gradation());
    EXPECT_EQ(title->TextGradation(), TTextGradation::tgNone);
    EXPECT_EQ(title->Ellipsis(), TEllipsis::elNone);
}

TEST(TAboutBox, ClickingTheLinkOpensItsTargetAndTheDialogStaysOpen) {
    std::vector<QString> opened;
    TURLLabel::SetOpenHandler([&](const QString& target) { opened.push_back(target); });
    TAboutBox box;
    box.open();
    box.TabPage->setCurrentIndex(1);
    TURLLabel* link = box.URLLabel1;
    EXPECT_EQ(link->text(), TAboutBox::HomePage());
    EXPECT_EQ(link->FontColor(), clNavy);
    EXPECT_EQ(link->HotColor(), clBlue);
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], TAboutBox::HomePage());
    EXPECT_TRUE(box.isVisible());
    box.accept();
    TURLLabel::SetOpenHandler(nullptr);
}

TEST(MousePicture, MarksTheNamedButtonsInLightBlueOnGrey) {
    struct Case {
        MouseButtonMark mark;
        bool left, right;
    };
    for (Case c :
         {Case{MouseButtonMark::Left, true, false}, Case{MouseButtonMark::Right, false, true},
          Case{MouseButtonMark::Both, true, true}}) {
        const QImage picture = MousePicture(c.mark);
        EXPECT_EQ(picture.size(), QSize(24, 24));
        EXPECT_EQ(picture.pixelColor(0, 0), MouseBackgroundColor());
        EXPECT_EQ(picture.pixelColor(23, 23), MouseBackgroundColor());
        const QColor leftCentre = picture.pixelColor(MouseLeftButtonRect().center());
        const QColor rightCentre = picture.pixelColor(MouseRightButtonRect().center());
        EXPECT_EQ(leftCentre == MouseMarkColor(), c.left);
        EXPECT_EQ(rightCentre == MouseMarkColor(), c.right);
    }
    EXPECT_FALSE(MouseLeftButtonRect().intersects(MouseRightButtonRect()));
}

TEST(TAboutBox, FourMousePicturesOfTwentyFourPixels) {
    TAboutBox box;
    for (QLabel* image : {box.Image1, box.Image2, box.Image3, box.Image4}) {
        EXPECT_EQ(image->pixmap().size(), QSize(24, 24));
        EXPECT_EQ(image->size(), QSize(24, 24));
    }
    const QImage first = box.Image1->pixmap().toImage();
    EXPECT_EQ(first.pixelColor(MouseLeftButtonRect().center()), MouseMarkColor());
    EXPECT_EQ(box.Image4->pixmap().toImage().pixelColor(MouseLeftButtonRect().center()),
              MouseMarkColor());
    EXPECT_NE(box.Image2->pixmap().toImage().pixelColor(MouseLeftButtonRect().center()),
              MouseMarkColor());
}

}  // namespace
}  // namespace vertoko

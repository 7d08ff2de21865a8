#include "controls/about_box.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTabBar>

#include "controls/mouse_picture.h"
#include "controls/shadow_label.h"
#include "controls/url_label.h"

namespace vertoko {

namespace {

constexpr int kClientWidth = 239;
constexpr int kClientHeight = 212;
// The page area under the tabs, shared by the two panels.
const QRect kPageRect(8, 30, 223, 144);
const QRect kTabRect(4, 6, 231, 170);

// The dialog's Japanese font, with the nearest installed ones after it.
const QStringList kDialogFamilies = {QStringLiteral("ＭＳ Ｐゴシック"),
                                     QStringLiteral("MS PGothic"),
                                     QStringLiteral("Noto Sans CJK JP")};

QFont PixelFont(const QStringList& families, int pixels, bool bold = false) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* PictureLabel(QWidget* parent, MouseButtonMark mark, int top) {
    auto* label = new QLabel(parent);
    label->setPixmap(QPixmap::fromImage(MousePicture(mark)));
    label->setGeometry(8, top, kMousePictureSize, kMousePictureSize);
    return label;
}

QLabel* TextLabel(QWidget* parent, const char* text, int left, int top) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

}  // namespace

QString TAboutBox::HomePage() { return QStringLiteral("https://vertoko.example.org/"); }

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vertoko ヘルプ"));
    setFont(PixelFont(kDialogFamilies, 12));
    setFixedSize(kClientWidth, kClientHeight);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    // The tab bar sits over a frame; the two pages are siblings laid over
    // the frame's page area, one of them visible at a time.
    auto* tabFrame = new QFrame(this);
    tabFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    tabFrame->setGeometry(kTabRect.adjusted(0, 20, 0, 0));
    TabPage = new QTabBar(this);
    TabPage->addTab(QStringLiteral("プレビュー操作"));
    TabPage->addTab(QStringLiteral("バージョン情報"));
    TabPage->setDrawBase(false);
    TabPage->setGeometry(kTabRect.left(), kTabRect.top(), kTabRect.width(), 24);
    TabPage->setCurrentIndex(0);

    BuildControlsPage();
    BuildVersionPage();

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(82, 180, 75, 25);
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    connect(TabPage, &QTabBar::currentChanged, this, &TAboutBox::TabPageChange);
    Panel2->hide();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAboutBox::BuildControlsPage() {
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::NoFrame);
    Panel1->setGeometry(kPageRect);
    Image1 = PictureLabel(Panel1, MouseButtonMark::Left, 2);
    Image2 = PictureLabel(Panel1, MouseButtonMark::Right, 27);
    Image3 = PictureLabel(Panel1, MouseButtonMark::Both, 52);
    Image4 = PictureLabel(Panel1, MouseButtonMark::Left, 77);
    Label1 = TextLabel(Panel1, "+ ドラッグ操作 ： 回転", 36, 5);
    Label2 = TextLabel(Panel1, "+ ドラッグ操作 ： 移動", 36, 30);
    Label3 = TextLabel(Panel1, "+ ドラッグ操作 ： 拡大縮小", 36, 55);
    Label4 = TextLabel(Panel1, "ダブルクリック ： 視点リセット", 36, 80);
    Label5 = TextLabel(Panel1, "マウスホイール ： 拡大縮小", 8, 104);
    Label6 = TextLabel(Panel1, "スペースキー   ： ﾜｲﾔｰﾌﾚｰﾑ表示切替え", 8, 122);
}

void TAboutBox::BuildVersionPage() {
    Panel2 = new QFrame(this);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(2);
    Panel2->setMidLineWidth(0);
    Panel2->setGeometry(kPageRect);
    const int width = kPageRect.width();

    ShadowLabel1 = new TShadowLabel(Panel2);
    ShadowLabel1->setText(QStringLiteral("Vertoko for Windows"));
    ShadowLabel1->setFont(PixelFont(kDialogFamilies, 15, true));
    ShadowLabel1->SetFontColor(clWindowText);
    ShadowLabel1->SetColor(clBtnFace);
    ShadowLabel1->Shadow().SetShadowColor(clGray);
    ShadowLabel1->Highlight().SetShadowColor(clWhite);
    ShadowLabel1->Highlight().SetShadowLeft(-1);
    ShadowLabel1->Highlight().SetShadowTop(-1);
    ShadowLabel1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ShadowLabel1->setGeometry(4, 14, width - 8, 22);

    Version = new QLabel(QStringLiteral("Version: 1.12"), Panel2);
    Version->setAlignment(Qt::AlignHCenter);
    Version->setGeometry(4, 46, width - 8, 16);

    Copyright = new QLabel(QStringLiteral("Copyright (C) 2026 Vertoko"), Panel2);
    Copyright->setAlignment(Qt::AlignHCenter);
    Copyright->setGeometry(0, 72, width, 16);

    URLLabel1 = new TURLLabel(Panel2);
    URLLabel1->setText(HomePage());
    QFont link = URLLabel1->font();
    link.setUnderline(true);
    URLLabel1->setFont(link);
    URLLabel1->SetFontColor(clNavy);
    URLLabel1->SetHotColor(clBlue);
    URLLabel1->SetExecutable(true);
    URLLabel1->setCursor(Qt::PointingHandCursor);
    URLLabel1->adjustSize();
    URLLabel1->move((width - URLLabel1->width()) / 2, 102);
}

void TAboutBox::TabPageChange(int index) {
    Panel1->setVisible(index == 0);
    Panel2->setVisible(index != 0);
}

}  // namespace vertoko

// The shadow label rendered into an image: the shadow and highlight copies
// at their offsets, the disabled colours, background gradients and the text
// gradient's colours per character.
#include "controls/shadow_label.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPalette>
#include <set>
#include <utility>

namespace vertoko {
namespace {

using Pixels = std::set<std::pair<int, int>>;

const TColor kBack = clWhite;
const TColor kText = clBlack;
const TColor kShadowRed = RGBColor(255, 0, 0);
const TColor kHighlightGreen = RGBColor(0, 255, 0);

// Hard-edged glyphs so that every pixel is exactly one of the colours.
QFont SharpFont(int pixels = 30) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

struct LabelFixture : ::testing::Test {
    LabelFixture() {
        label.setFont(SharpFont());
        label.resize(120, 60);
        label.SetColor(kBack);
        label.SetFontColor(kText);
        label.Shadow().SetShadowColor(kShadowRed);
        label.Highlight().SetShadowColor(kHighlightGreen);
        label.Shadow().SetShadowVisible(false);
        label.Highlight().SetShadowVisible(false);
    }

    QImage Render(QRgb fill = qRgb(255, 0, 255)) {
        QImage image(label.size(), QImage::Format_RGB32);
        image.fill(fill);
        label.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    }

    static Pixels Find(const QImage& image, TColor color) {
        Pixels found;
        const QRgb wanted = ToQColor(color).rgb();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == wanted) found.insert({x, y});
        return found;
    }

    static QRect Bounds(const Pixels& pixels) {
        QRect bounds;
        for (auto [x, y] : pixels) bounds |= QRect(x, y, 1, 1);
        return bounds;
    }

    TShadowLabel label;
};

TEST_F(LabelFixture, DefaultsAreAGreyShadowDownRightAndAWhiteHighlightUpLeft) {
    TShadowLabel fresh;
    EXPECT_TRUE(fresh.Shadow().Visible());
    EXPECT_EQ(fresh.Shadow().Color(), clSilver);
    EXPECT_EQ(fresh.Shadow().OffsetLeft(), 1);
    EXPECT_EQ(fresh.Shadow().OffsetTop(), 1);
    EXPECT_EQ(fresh.Highlight().Color(), clWhite);
    EXPECT_EQ(fresh.Highlight().OffsetLeft(), -1);
    EXPECT_EQ(fresh.Highlight().OffsetTop(), -1);
    EXPECT_TRUE(fresh.Flickerless());
    EXPECT_EQ(fresh.GradationColor(), clBlue);
    EXPECT_EQ(fresh.TextGradationColor(), clMaroon);
    EXPECT_EQ(fresh.TextMidColor(), clNavy);
}

TEST_F(LabelFixture, ShadowAndHighlightAreTheTextMovedByTheirOffsets) {
    label.setText("H");
    const Pixels text = Find(Render(), kText);
    ASSERT_GT(text.size(), 50u);
    const QRect textBounds = Bounds(text);

    label.Shadow().SetShadowLeft(4);
    label.Shadow().SetShadowTop(3);
    label.Shadow().SetShadowVisible(true);
    QImage image = Render();
    const Pixels shadow = Find(image, kShadowRed);
    ASSERT_FALSE(shadow.empty());
    for (auto [x, y] : shadow) ASSERT_TRUE(text.count({x - 4, y - 3})) << x << "," << y;
    // The text covers the shadow except towards the bottom right.
    EXPECT_EQ(Bounds(shadow).right(), textBounds.right() + 4);
    EXPECT_EQ(Bounds(shadow).bottom(), textBounds.bottom() + 3);
    EXPECT_EQ(Find(image, kText), text);

    label.Shadow().SetShadowVisible(false);
    label.Highlight().SetShadowLeft(-2);
    label.Highlight().SetShadowTop(-1);
    label.Highlight().SetShadowVisible(true);
    image = Render();
    const Pixels highlight = Find(image, kHighlightGreen);
    ASSERT_FALSE(highlight.empty());
    for (auto [x, y] : highlight) ASSERT_TRUE(text.count({x + 2, y + 1})) << x << "," << y;
    EXPECT_EQ(Bounds(highlight).left(), textBounds.left() - 2);
    EXPECT_EQ(Bounds(highlight).top(), textBounds.top() - 1);
    EXPECT_TRUE(Find(image, kShadowRed).empty());
}

TEST_F(LabelFixture, DisabledLabelUsesTheSystemColoursWhateverIsConfigured) {
    const QPalette saved = QApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Dark, QColor(10, 20, 30));   // button shadow
    palette.setColor(QPalette::Light, QColor(40, 50, 60));  // button highlight
    QApplication::setPalette(palette);

    label.setText("H");
    label.Shadow().SetShadowLeft(3);
    label.Shadow().SetShadowVisible(true);
    label.Highlight().SetShadowLeft(-3);
    label.Highlight().SetShadowVisible(true);
    label.setEnabled(false);
    const QImage image = Render();
    EXPECT_TRUE(Find(image, kText).empty());
    EXPECT_TRUE(Find(image, kShadowRed).empty());
    EXPECT_TRUE(Find(image, kHighlightGreen).empty());
    EXPECT_FALSE(Find(image, RGBColor(10, 20, 30)).empty());
    EXPECT_FALSE(Find(image, clGray).empty());
    EXPECT_FALSE(Find(image, RGBColor(40, 50, 60)).empty());
    QApplication::setPalette(saved);
}

TEST_F(LabelFixture, HorizontalBackgroundGradientEndsInTheLabelColourOnEveryRow) {
    label.resize(100, 30);
    label.SetGradation(true);
    label.SetGradationColor(RGBColor(0, 0, 255));
    label.SetColor(RGBColor(198, 99, 0));
    for (bool flickerless : {true, false}) {
        label.SetFlickerless(flickerless);
        const QImage image = Render();
        EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255)) << flickerless;
        EXPECT_EQ(image.pixel(99, 0), qRgb(198, 99, 0)) << flickerless;
        EXPECT_EQ(image.pixel(33, 0), qRgb(66, 33, 170)) << flickerless;
        for (int y = 1; y < 30; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(image.pixel(x, y), image.pixel(x, 0))
                    << x << "," << y << " " << flickerless;
    }
}

TEST_F(LabelFixture, VerticalBackgroundGradientRunsTopToBottom) {
    label.resize(40, 21);
    label.SetGradation(true);
    label.SetGradateVert(true);
    label.SetGradationColor(clBlack);
    label.SetColor(RGBColor(200, 100, 40));
    for (bool flickerless : {true, false}) {
        label.SetFlickerless(flickerless);
        const QImage image = Render();
        EXPECT_EQ(image.pixel(5, 0), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(5, 20), qRgb(200, 100, 40));
        EXPECT_EQ(image.pixel(39, 10), qRgb(100, 50, 20));
    }
}

TEST_F(LabelFixture, TransparentLabelPaintsNoBackground) {
    label.SetTransparent(true);
    label.SetGradation(true);
    const QImage image = Render(qRgb(255, 0, 255));
    EXPECT_EQ(Find(image, RGBColor(255, 0, 255)).size(),
              std::size_t(label.width() * label.height()));
}

TEST_F(LabelFixture, TextGradientColoursEachCharacterInItsCell) {
    const int cell = QFontMetrics(SharpFont()).horizontalAdvance(QStringLiteral("H"));
    label.resize(cell * 5 + 10, 40);
    label.SetFontColor(RGBColor(0, 0, 0));
    label.SetTextMidColor(RGBColor(200, 0, 0));
    label.SetTextGradationColor(RGBColor(0, 0, 100));
    label.SetTextGradation(TTextGradation::tg3Colors);
    label.setText("HHHHH");
    const QImage image = Render();
    const TColor expected[] = {RGBColor(0, 0, 0), RGBColor(200, 0, 0), RGBColor(200, 0, 0),
                               RGBColor(100, 0, 50), RGBColor(0, 0, 100)};
    for (int k = 0; k < 5; ++k) {
        const Pixels inCell = [&] {
            Pixels found;
            for (auto p : Find(image, expected[k]))
                if (p.first >= k * cell && p.first < (k + 1) * cell) found.insert(p);
            return found;
        }();
        EXPECT_GT(inCell.size(), 20u) << "character " << k;
    }
    // The second and third characters share the middle colour; no other
    // character is painted in it.
    for (auto [x, y] : Find(image, RGBColor(200, 0, 0)))
        ASSERT_TRUE(x >= cell && x < 3 * cell) << x;
}

TEST_F(LabelFixture, OneCharacterIgnoresTheTextGradientAndTwoCharactersRunToTheEndColour) {
    label.SetTextGradation(TTextGradation::tg3Colors);
    label.SetTextGradationColor(RGBColor(0, 0, 100));
    label.setText("H");
    QImage image = Render();
    EXPECT_FALSE(Find(image, kText).empty());
    EXPECT_TRUE(Find(image, RGBColor(0, 0, 100)).empty());

    label.setText("HH");
    image = Render();
    const int cell = QFontMetrics(SharpFont()).horizontalAdvance(QStringLiteral("H"));
    const Pixels first = Find(image, kText);
    const Pixels second = Find(image, RGBColor(0, 0, 100));
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_LT(Bounds(first).right(), cell);
    EXPECT_GE(Bounds(second).left(), cell);
}

TEST_F(LabelFixture, VerticalLayoutMovesTheTextByTheFreeHeight) {
    label.resize(60, 80);
    label.setText("H");
    const int top = Bounds(Find(Render(), kText)).top();
    const int textHeight = QFontMetrics(SharpFont()).height();
    label.SetLayout(TTextLayout::tlBottom);
    EXPECT_EQ(Bounds(Find(Render(), kText)).top(), top + (80 - textHeight));
    label.SetLayout(TTextLayout::tlCenter);
    EXPECT_EQ(Bounds(Find(Render(), kText)).top(), top + (80 - textHeight) / 2);
}

TEST_F(LabelFixture, EndEllipsisKeepsALongCaptionInsideTheLabel) {
    label.resize(60, 40);
    label.setText("HHHHHHHHHH");
    EXPECT_EQ(Bounds(Find(Render(), kText)).right(), 59);  // cut at the edge
    label.SetEllipsis(TEllipsis::elEnd);
    EXPECT_LT(Bounds(Find(Render(), kText)).right(), 59);
}

TEST(TShadow, ChangesAreReportedOnlyWhenAValueDiffers) {
    TShadow shadow;
    int changes = 0;
    shadow.OnChange = [&](TShadow* sender) {
        EXPECT_EQ(sender, &shadow);
        ++changes;
    };
    shadow.SetShadowColor(clSilver);
    shadow.SetShadowLeft(1);
    shadow.SetShadowTop(1);
    shadow.SetShadowVisible(true);
    EXPECT_EQ(changes, 0);
    shadow.SetShadowColor(clRed);
    shadow.SetShadowLeft(-5);
    shadow.SetShadowTop(7);
    shadow.SetShadowVisible(false);
    EXPECT_EQ(changes, 4);

    TShadow copy;
    copy.Assign(shadow);
    EXPECT_EQ(copy.Color(), clRed);
    EXPECT_EQ(copy.OffsetLeft(), -5);
    EXPECT_EQ(copy.OffsetTop(), 7);
    EXPECT_FALSE(copy.Visible());
}

TEST(TShadowLabelRepaint, ShadowChangesAndTextColoursRepaintOnlyWhenTheyShow) {
    TShadowLabel label;
    int before = label.RepaintRequests();
    label.Shadow().SetShadowLeft(5);
    EXPECT_EQ(label.RepaintRequests(), before + 1);

    before = label.RepaintRequests();
    label.SetTextMidColor(clRed);  // no gradient: nothing shows it
    label.SetTextGradationColor(clRed);
    EXPECT_EQ(label.RepaintRequests(), before);
    label.SetTextGradation(TTextGradation::tg2Colors);
    before = label.RepaintRequests();
    label.SetTextMidColor(clBlue);  // two colours do not use the middle one
    EXPECT_EQ(label.RepaintRequests(), before);
    label.SetTextGradationColor(clBlue);
    EXPECT_EQ(label.RepaintRequests(), before + 1);

    TShadow other;
    other.SetShadowColor(clAqua);
    label.SetHighlight(&other);
    EXPECT_EQ(label.Highlight().Color(), clAqua);
    EXPECT_EQ(label.Highlight().OffsetLeft(), 1);  // all four values copied
    label.SetShadow(nullptr);
    EXPECT_EQ(label.Shadow().OffsetLeft(), 5);
}

}  // namespace
}  // namespace vertoko

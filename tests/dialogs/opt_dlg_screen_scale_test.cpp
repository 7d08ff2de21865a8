// The options dialog on a real X screen at the scale the run is given
// (QT_SCALE_FACTOR 1, 1.5 and 2 under Xvfb), checked by widget geometry:
// within each group the captions, fields and check boxes neither overlap
// nor get cut, and every row lies below the group's title and frame line.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <cstdlib>
#include <string>

#include "dialogs/opt_dlg.h"

namespace vertoko {
namespace {

std::string Name(const QWidget* widget) {
    if (const auto* box = qobject_cast<const QCheckBox*>(widget)) return box->text().toStdString();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text().toStdString();
    return widget->metaObject()->className();
}

// Where the group box draws its title and its frame, as its style says.
QRect GroupPart(const QGroupBox* group, QStyle::SubControl part) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = group->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (group->isCheckable()) option.subControls |= QStyle::SC_GroupBoxCheckBox;
    return group->style()->subControlRect(QStyle::CC_GroupBox, &option, part, group);
}

class OptDlgScreenScale : public testing::Test {
  protected:
    void SetUp() override {
        const char* scale = std::getenv("QT_SCALE_FACTOR");
        scale_ = scale != nullptr ? scale : "1";
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        if (const char* shots = std::getenv("VERTOKO_SHOT_DIR"))
            dlg.grab().save(QStringLiteral("%1/options-%2.png").arg(shots, scale_.c_str()));
    }
    std::string scale_;
    TOptDlg dlg;
};

TEST_F(OptDlgScreenScale, RowsStayBelowTheFrameLineAndApart) {
    SCOPED_TRACE("QT_SCALE_FACTOR " + scale_);
    for (QGroupBox* group : dlg.findChildren<QGroupBox*>()) {
        SCOPED_TRACE(group->title().toStdString());
        const QRect title = GroupPart(group, QStyle::SC_GroupBoxLabel);
        const QRect frame = GroupPart(group, QStyle::SC_GroupBoxFrame);
        std::vector<QWidget*> rows;
        for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isVisible()) continue;
            rows.push_back(child);
            const QRect at = child->geometry();
            // Clear of the title and of the frame's top line (one pixel
            // and the frame's own width), and inside its other sides.
            EXPECT_GT(at.top(), title.bottom()) << Name(child);
            EXPECT_GT(at.top(), frame.top() + 1) << Name(child);
            EXPECT_GT(at.left(), frame.left()) << Name(child);
            EXPECT_LT(at.right(), frame.right()) << Name(child);
            EXPECT_LT(at.bottom(), frame.bottom()) << Name(child);
            // Captions get the room their text asks for.
            if (qobject_cast<QLabel*>(child) || qobject_cast<QCheckBox*>(child)) {
                EXPECT_GE(at.width(), child->sizeHint().width()) << Name(child);
                EXPECT_GE(at.height(), child->sizeHint().height()) << Name(child);
            }
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            for (std::size_t j = i + 1; j < rows.size(); ++j) {
                EXPECT_FALSE(rows[i]->geometry().intersects(rows[j]->geometry()))
                    << Name(rows[i]) << " and " << Name(rows[j]);
            }
        }
    }
}

TEST_F(OptDlgScreenScale, CaptionTextEndsBeforeItsField) {
    SCOPED_TRACE("QT_SCALE_FACTOR " + scale_);
    // The smoothing angle's caption shares its line with the smoothing
    // switch and its number: the caption's text must end before the field
    // starts, however the fonts scale.
    QLabel* caption = dlg.Caption("POVRcrease");
    QWidget* field = dlg.Input<QWidget>("POVRcrease");
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(field, nullptr);
    const int textRight =
        caption->geometry().left() + caption->fontMetrics().horizontalAdvance(caption->text());
    EXPECT_LT(textRight, field->geometry().left());
    EXPECT_FALSE(caption->geometry().intersects(field->geometry()));
}

}  // namespace
}  // namespace vertoko

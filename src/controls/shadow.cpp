#include "controls/shadow.h"

namespace vertoko {

void TShadow::Changed() {
    if (OnChange) OnChange(this);
}

void TShadow::SetShadowVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Changed();
}

void TShadow::SetShadowColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TShadow::SetShadowLeft(std::int32_t offset) {
    if (offset == offsetLeft_) return;
    offsetLeft_ = offset;
    Changed();
}

void TShadow::SetShadowTop(std::int32_t offset) {
    if (offset == offsetTop_) return;
    offsetTop_ = offset;
    Changed();
}

void TShadow::Assign(const TShadow& source) {
    visible_ = source.visible_;
    color_ = source.color_;
    offsetLeft_ = source.offsetLeft_;
    offsetTop_ = source.offsetTop_;
    Changed();
}

}  // namespace vertoko

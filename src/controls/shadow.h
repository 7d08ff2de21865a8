// TShadow: the settings of one displaced copy of a shadow label's caption
// (its shadow or its highlight): whether it is painted, its colour and its
// offset from the text. Every change is reported through OnChange.
#pragma once

#include <cstdint>
#include <functional>

#include "controls/colors.h"

namespace vertoko {

class TShadow {
  public:
    using ChangeHandler = std::function<void(TShadow* sender)>;

    TShadow() = default;
    TShadow(const TShadow&) = delete;
    TShadow& operator=(const TShadow&) = delete;

    bool Visible() const { return visible_; }
    TColor Color() const { return color_; }
    std::int32_t OffsetLeft() const { return offsetLeft_; }
    std::int32_t OffsetTop() const { return offsetTop_; }

    // Each setter reports a change only when the value differs.
    void SetShadowVisible(bool visible);
    void SetShadowColor(TColor color);
    void SetShadowLeft(std::int32_t offset);
    void SetShadowTop(std::int32_t offset);

    // Copies all four values and reports one change.
    void Assign(const TShadow& source);

    ChangeHandler OnChange;

  private:
    void Changed();

    bool visible_ = true;
    TColor color_ = clSilver;
    std::int32_t offsetLeft_ = 1;
    std::int32_t offsetTop_ = 1;
};

}  // namespace vertoko

#include "controls/value_entry.h"

#include <cstdlib>

namespace vertoko {

void ValueEntry::SetMax(std::int16_t max) {
    if (max >= min_) max_ = max;
}

void ValueEntry::SetMin(std::int16_t min) {
    if (max_ >= min) min_ = min;
}

bool ValueEntry::SetValue(std::int32_t value) {
    const bool inRange = value >= min_ && value <= max_;
    if (!inRange) {
        negativeEntry_ = false;
        entry_ = value_;
        if (OnRangeError) OnRangeError();
    } else {
        if (value < 0) negativeEntry_ = true;
        entry_ = value;
        value_ = static_cast<std::int16_t>(value);
    }
    if (OnChanged) OnChanged();
    return inRange;
}

void ValueEntry::KeyDown(ValueKey key, int digit) {
    switch (key) {
        case ValueKey::Digit:
            if (negativeEntry_ && entry_ == 0)
                entry_ = -digit;
            else
                entry_ = negativeEntry_ ? entry_ * 10 - digit : entry_ * 10 + digit;
            break;
        case ValueKey::Clear:
            negativeEntry_ = false;
            entry_ = 0;
            break;
        case ValueKey::Commit:
            if (entry_ == 0) negativeEntry_ = false;
            SetValue(entry_);
            break;
        case ValueKey::Minus:
            if (entry_ == 0 && min_ < 0) negativeEntry_ = true;
            break;
        case ValueKey::Other:
            break;
    }
    if (entry_ < -32768 || entry_ > 32767) entry_ = 0;
}

void ValueEntry::StepUp() {
    if (entry_ != value_) SetValue(entry_);
    SetValue(std::int32_t(value_) + 1);
}

void ValueEntry::StepDown() {
    if (entry_ != value_) SetValue(entry_);
    SetValue(std::int32_t(value_) - 1);
}

std::string ValueEntry::ShownText() const {
    if (negativeEntry_ && entry_ == 0) return "-";
    return std::to_string(entry_);
}

std::string ValueEntry::CaretText() const {
    if (negativeEntry_ && entry_ == 0) return "-";
    return std::to_string(std::abs(entry_) % 10);
}

std::string ValueEntry::RangeMessage() const {
    return "数値を" + std::to_string(min_) + "～" + std::to_string(max_) + "の間で指定してください";
}

}  // namespace vertoko

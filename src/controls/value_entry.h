// The logic of the value box: a signed 16-bit number within a range, typed
// digit by digit into an entry that becomes the value only when committed.
// No window is needed; the widget feeds it keys and draws what it shows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vertoko {

// The keys the value box reacts to, already told apart from the rest.
enum class ValueKey { Digit, Clear, Commit, Minus, Other };

class ValueEntry {
  public:
    std::int16_t Max() const { return max_; }
    std::int16_t Min() const { return min_; }
    std::int16_t Value() const { return value_; }
    std::int32_t Entry() const { return entry_; }
    bool NegativeEntry() const { return negativeEntry_; }

    // Each bound is taken only when it keeps Min <= Max.
    void SetMax(std::int16_t max);
    void SetMin(std::int16_t min);

    // Commits a number: within the range it becomes the value and the entry;
    // outside it the entry goes back to the value and OnRangeError is called.
    // OnChanged follows in both cases. True when the number was taken.
    bool SetValue(std::int32_t value);

    // One key; `digit` is the digit's value for ValueKey::Digit. An entry
    // that leaves the 16-bit range becomes 0.
    void KeyDown(ValueKey key, int digit = 0);

    // The arrow buttons: commit a pending entry, then step by one.
    void StepUp();
    void StepDown();

    // The text shown in the box, and its last character (the blinking caret).
    std::string ShownText() const;
    std::string CaretText() const;

    // The range message, with Min and Max in place of its two numbers.
    std::string RangeMessage() const;

    std::function<void()> OnRangeError;
    std::function<void()> OnChanged;

  private:
    std::int16_t max_ = 255;
    std::int16_t min_ = 0;
    std::int16_t value_ = 0;
    std::int32_t entry_ = 0;
    bool negativeEntry_ = false;
};

}  // namespace vertoko

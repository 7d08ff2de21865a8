// The layers a user chooses by name: comma-separated shell-style patterns,
// each matched on decoded UTF-8 names as LayerPatternMatches
// (model/layer_pattern.h) matches the materials file's patterns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vertoko {

class LayerPatterns {
  public:
    LayerPatterns() = default;
    // The patterns of a list such as "壁*, Roof?, [A-C]*"; blanks around
    // each are dropped, empty ones ignored. A comma inside [...] belongs
    // to the set.
    explicit LayerPatterns(std::string_view list);

    bool Empty() const { return patterns_.empty(); }
    // True when one of the patterns matches name.
    bool Matches(std::string_view name) const;

  private:
    std::vector<std::string> patterns_;
};

}  // namespace vertoko

// The layers a user chooses by name: comma-separated shell-style patterns
// (* any run of characters, ? one character, [...] one of a set, [!...]
// or [^...] one not in it), matched on decoded UTF-8 names character by
// character, letters a to z without case, as DXF compares layer names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vertoko {

// True when the whole of name matches pattern.
bool MatchLayerPattern(std::string_view pattern, std::string_view name);

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

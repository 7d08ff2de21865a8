#include "dxf/drawing/layer_patterns.h"

#include "model/layer_pattern.h"

namespace vertoko {

LayerPatterns::LayerPatterns(std::string_view list) {
    std::size_t start = 0;
    bool inSet = false;
    auto take = [&](std::size_t end) {
        std::string_view item = list.substr(start, end - start);
        while (!item.empty() && (item.front() == ' ' || item.front() == '\t'))
            item.remove_prefix(1);
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.remove_suffix(1);
        if (!item.empty()) patterns_.emplace_back(item);
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        const char c = list[i];
        if (c == '[' && !inSet) {
            inSet = true;
        } else if (c == ']' && inSet) {
            inSet = false;
        } else if (c == ',' && !inSet) {
            take(i);
            start = i + 1;
        }
    }
    take(list.size());
}

bool LayerPatterns::Matches(std::string_view name) const {
    for (const std::string& pattern : patterns_) {
        if (LayerPatternMatches(pattern, name)) return true;
    }
    return false;
}

}  // namespace vertoko

// Shell-style patterns over layer names, as the layer choice and the
// materials file take them.
#pragma once

#include <string_view>

namespace vertoko {

// True when name (UTF-8) matches pattern: '*' any run of characters, '?'
// one character (a whole UTF-8 sequence), "[...]" one character of a set
// of characters and ranges ("[!...]" or "[^...]" one outside it, a ']'
// first in the set is one of it), '\' takes the next character as it is.
// Letters compare without case, as DXF compares layer names; case is
// folded for ASCII, Latin-1, Greek and Cyrillic letters and for the
// fullwidth Latin letters. A '[' without its ']' is an ordinary character.
// A byte that is not part of a valid UTF-8 sequence is a character of its
// own.
bool LayerPatternMatches(std::string_view pattern, std::string_view name);

}  // namespace vertoko

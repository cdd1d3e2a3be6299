// File dialog filters: the tool keeps them as "Name (*.x)|*.x|Other|*.*||" pairs; Qt wants
// one "Name (patterns)" entry per pair.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace shell {

// "VOP files (*.vop)|*.vop||" gives {"VOP files (*.vop)"}. A pair whose name does not end in
// its patterns gets them appended in brackets; ';' between patterns becomes a blank.
std::vector<std::string> ToQtFilters(std::string_view pairs);

}  // namespace shell

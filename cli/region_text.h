// The --roi text: X,Y,W,H as the user types it.
#pragma once

#include <array>
#include <string>

namespace qvxcli {

// Offsets from 0 and sizes from 1, each at most the largest int; throws UsageError naming the part.
std::array<int, 4> parseRegion(const std::string& text);
// "X,Y,W,H" as typed and as the messages print it.
std::string regionText(const std::array<int, 4>& region);

} // namespace qvxcli

#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace scenova::formats {

// Signal event numbers are 16-bit, so a longer list cannot be signalled.
inline constexpr std::size_t kMaxSignalTimes = 32767;

// A video's list of signal times: numbers in the invariant form separated by
// commas; blank text is the empty list. Raises 13 for text that is no such
// list, 6 for a number out of range or a list longer than kMaxSignalTimes.
std::vector<double> ReadSignalTimes(std::string_view text);

}  // namespace scenova::formats

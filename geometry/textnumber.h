#pragma once
// Reading one number from a word of the library's text files.

#include <charconv>
#include <cmath>
#include <string_view>

namespace kestrun::geometry {

// The whole word as a finite double; a leading '+' is allowed.
inline bool ParseFinite(std::string_view word, double& value)
{
    const char* first = word.data();
    const char* last = first + word.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && std::isfinite(value);
}

} // namespace kestrun::geometry

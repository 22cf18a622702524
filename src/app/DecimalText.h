#pragma once

#include <charconv>
#include <string_view>

namespace qozel {

// The number a digits-only edit holds; empty or unreadable text counts as 0.
template <class Number>
Number DecimalOrZero(std::string_view text) noexcept
{
    Number value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() ? value : 0;
}

} // namespace qozel

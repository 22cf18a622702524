#pragma once

#include <QString>

#include <string_view>

namespace qozel {

// The program keeps its texts in UTF-8.
inline QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace qozel

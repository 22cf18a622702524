#pragma once

namespace qozel {

// The program's name and version, as the main window's caption shows it.
inline constexpr const char* kAppTitle = "QoZEL Config " QOZEL_VERSION;

} // namespace qozel

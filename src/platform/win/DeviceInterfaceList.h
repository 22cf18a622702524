#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qozel {

// Device paths of the present interfaces of one interface class, in SetupAPI's
// enumeration order; an interface whose detail cannot be read is left out.
// Nullopt when SetupAPI cannot list the class at all.
std::optional<std::vector<std::string>> ListPresentInterfaces(const GUID& interfaceClass);

} // namespace qozel

#pragma once

#include "platform/Clock.h"
#include "security/SupportTrace.h"

#include <memory>
#include <optional>
#include <string>

namespace qozel {

// What both programs do before anything else: answer --help (or -h) with
// the title and `usage`, --version with the title, on standard output and
// without a window; and start the support trace that `--trace FILE` asks for
// before any device object exists, saying on standard error why when it
// cannot. The exit code when the program is to end here.
std::optional<int> TakeCommandLine(int argc, char** argv, const std::string& usage, Clock& clock,
                                   std::unique_ptr<SupportTrace>& trace);

// The option lines both programs' --help shows below their usage line.
inline constexpr const char* kOptionsUsage =
    "  --help        ten opis\n"
    "  --version     wersja programu\n"
    "  --trace PLIK  zapisuje wymianę z urządzeniami do pliku PLIK (wiersze JSON,\n"
    "                bez haseł, kluczy i certyfikatów), dla serwisu\n";

} // namespace qozel

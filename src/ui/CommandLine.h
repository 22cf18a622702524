#pragma once

#include "platform/Clock.h"
#include "security/SupportTrace.h"

#include <memory>

namespace qozel {

// Answers --help (or -h) and --version on standard output without opening a
// window; true when it did. --version prints the program's title; --help the
// title and then `usage`, the program's own lines on how to call it.
bool AnsweredInfoOption(int argc, char** argv, const char* usage);

// Starts the support trace that `--trace FILE` asks for into `trace`. False,
// after saying why on standard error, when the option lacks its file or the
// file cannot be created.
bool StartAskedTrace(int argc, char** argv, Clock& clock, std::unique_ptr<SupportTrace>& trace);

// The option lines both programs' --help shows for the trace.
inline constexpr const char* kTraceUsage =
    "  --trace PLIK  zapisuje wymianę z urządzeniami do pliku PLIK (wiersze JSON,\n"
    "                bez haseł, kluczy i certyfikatów), dla serwisu\n";

} // namespace qozel

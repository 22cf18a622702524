#include "ui/CommandLine.h"

#include "platform/ParentConsole.h"
#include "ui/AppTitle.h"

#include <cstdio>
#include <cstring>

namespace qozel {
namespace {

bool AnsweredInfoOption(int argc, char** argv, const char* usage)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", kAppTitle);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("%s\n\n%s", kAppTitle, usage);
            return true;
        }
    }
    return false;
}

bool StartAskedTrace(int argc, char** argv, Clock& clock, std::unique_ptr<SupportTrace>& trace)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--trace") != 0)
            continue;
        if (i + 1 == argc) {
            std::fprintf(stderr, "--trace: brak nazwy pliku\n");
            return false;
        }
        trace = SupportTrace::Start(argv[i + 1], clock);
        if (!trace) {
            std::fprintf(stderr, "--trace: nie można utworzyć pliku %s\n", argv[i + 1]);
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<int> TakeCommandLine(int argc, char** argv, const std::string& usage, Clock& clock,
                                   std::unique_ptr<SupportTrace>& trace)
{
    AttachParentConsole();
    if (AnsweredInfoOption(argc, argv, usage.c_str()))
        return 0;
    if (!StartAskedTrace(argc, argv, clock, trace))
        return 1;
    return std::nullopt;
}

} // namespace qozel

#pragma once

#include "link/JsonTrace.h"

#include <memory>
#include <string>

namespace qozel {

// A trace for support: while it lives, the four device kinds' trace sinks
// write every transfer into one JSON-lines file, secrets left out. Make it
// before the device objects, which take their sink when they are built.
class SupportTrace {
public:
    // Null when the file cannot be created.
    static std::unique_ptr<SupportTrace> Start(const std::string& path, Clock& clock);
    ~SupportTrace();
    SupportTrace(const SupportTrace&) = delete;
    SupportTrace& operator=(const SupportTrace&) = delete;

private:
    SupportTrace(std::unique_ptr<TraceFile> file, Clock& clock);

    std::unique_ptr<TraceFile> file_;
    JsonTraceSink arkan_;
    JsonTraceSink programmer_;
    JsonTraceSink manager_;
    JsonTraceSink kbReader_;
};

} // namespace qozel

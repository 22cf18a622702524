#pragma once

#include "link/TraceSet.h"
#include "platform/Clock.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace qozel {

// The file a support trace goes to: one JSON object per line, each line
// flushed as it is written so that a trace survives a crash of the program.
class TraceFile {
public:
    // Null when the file cannot be created.
    static std::unique_ptr<TraceFile> Create(const std::string& path);

    void WriteLine(std::string_view line);

private:
    struct Closer {
        void operator()(std::FILE* file) const noexcept { std::fclose(file); }
    };
    explicit TraceFile(std::FILE* file) : file_(file) {}

    std::unique_ptr<std::FILE, Closer> file_;
};

// Tells whether a whole frame of one device kind carries a password, a key or
// a key certificate.
using SecretFrameTest = bool (*)(std::span<const std::uint8_t> frame);

// The trace sink of one device kind writing into a TraceFile: time, kind,
// device tag, direction, command, length and bytes of every transfer. A
// frame that carries a secret, and a transfer that is not one whole frame
// (it may be any part of one), are written without their bytes.
class JsonTraceSink final : public TraceSet {
public:
    JsonTraceSink(TraceFile& file, Clock& clock, std::string_view kind, SecretFrameTest carriesSecret);

    void TraceBytes(int direction, std::span<const std::uint8_t> bytes, std::uint32_t deviceTag,
                    int mark) override;
    void TraceText(std::string_view line) override;

private:
    // The opening of every line: time, microseconds since the trace began, kind.
    std::string LineStart();

    TraceFile& file_;
    Clock& clock_;
    std::string kind_;
    SecretFrameTest carriesSecret_;
    std::uint64_t startUs_;
};

} // namespace qozel

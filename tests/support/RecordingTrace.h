#pragma once

#include "link/TraceSet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qozel::testing {

// A trace sink that keeps every call, for checking what the channels report.
class RecordingTrace final : public TraceSet {
public:
    struct Bytes {
        int direction;
        std::vector<std::uint8_t> data;
        std::uint32_t tag;
        int mark;
    };

    void TraceBytes(int direction, std::span<const std::uint8_t> bytes, std::uint32_t tag, int mark) override
    {
        bytes_.push_back({direction, {bytes.begin(), bytes.end()}, tag, mark});
    }
    void TraceText(std::string_view line) override { lines_.emplace_back(line); }

    const std::vector<Bytes>& bytes() const { return bytes_; }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<Bytes> bytes_;
    std::vector<std::string> lines_;
};

} // namespace qozel::testing

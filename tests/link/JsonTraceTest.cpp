// The support trace's lines: what a transfer of each shape writes.
#include "link/Frame.h"
#include "link/JsonTrace.h"

#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace qozel {
namespace {

bool SecretWhenCommand76(std::span<const std::uint8_t> frame) { return frame[2] == 76; }

std::vector<std::uint8_t> Frame(std::uint8_t command, std::vector<std::uint8_t> payload)
{
    std::vector<std::uint8_t> frame(payload.size() + kFrameOverhead);
    frame.resize(BuildFrame(command, payload, frame));
    return frame;
}

class JsonTraceTest : public ::testing::Test {
protected:
    std::vector<std::string> Lines() const
    {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // Removes the file once it is closed (Windows keeps an open file).
    struct Removed {
        std::string path;
        ~Removed() { std::filesystem::remove(path); }
    };

    std::string path = (std::filesystem::temp_directory_path() / "qozel-json-trace.jsonl").string();
    Removed removed{path};
    sim::VirtualClock clock{1'765'000'000};
    std::unique_ptr<TraceFile> file = TraceFile::Create(path);
    JsonTraceSink sink{*file, clock, "Arkan", SecretWhenCommand76};
};

TEST_F(JsonTraceTest, EachTransferShapeWritesItsLine)
{
    struct Case {
        int direction;
        std::vector<std::uint8_t> bytes;
        const char* rest;
    };
    const std::vector<Case> cases = {
        {1, Frame(77, {}), R"("dir":"out","command":77,"length":5,"bytes":"05004d)"},
        {0, Frame(76 | 0x80, {1, 2, 3, 4}), R"("dir":"in","command":204,"length":9,"bytes":"0900cc01020304)"},
        {1, Frame(76, {9, 9, 9, 9}), R"("dir":"out","command":76,"length":9,"redacted":true})"},
        {0, {0x09, 0x00, 0x4d, 0x01}, R"("dir":"in","length":4,"redacted":true})"},
        {0, {}, R"("dir":"in","length":0})"},
    };
    for (const Case& c : cases) {
        clock.AdvanceMs(1500);
        sink.TraceBytes(c.direction, c.bytes, 0xA1, kTraceMark);
    }
    sink.TraceText("Nie wszystkie bajty \"zostały\"\twysłane.");
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), cases.size() + 1);
    EXPECT_TRUE(lines[0].starts_with(R"({"time":"2025-12-06T05:46:41Z","us":1500000,"device":"Arkan",)")) << lines[0];
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_NE(lines[i].find(std::string(R"("serial":"A1",)") + cases[i].rest), std::string::npos) << lines[i];
    EXPECT_NE(lines.back().find(R"("text":"Nie wszystkie bajty \"zostały\"\u0009wysłane."})"), std::string::npos)
        << lines.back();
}

TEST(TraceFile, IsNullWhenTheFileCannotBeCreated)
{
    EXPECT_EQ(TraceFile::Create("/nonexistent-dir/trace.jsonl"), nullptr);
}

} // namespace
} // namespace qozel

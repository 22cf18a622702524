#include "link/JsonTrace.h"

#include "link/Frame.h"

#include <chrono>
#include <cstdio>

namespace qozel {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// A string of 8-bit text as a JSON string literal; bytes from 0x80 up pass
// as they are (the program's texts are UTF-8).
std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += kHexDigits[u >> 4];
            out += kHexDigits[u & 0x0F];
        } else {
            out += c;
        }
    }
    return out + '"';
}

// On the civil calendar of <chrono>: the same on every platform, where
// gmtime_r is POSIX only.
std::string IsoUtc(std::uint32_t utcSeconds)
{
    using namespace std::chrono;
    const sys_seconds t{seconds{utcSeconds}};
    const sys_days day = floor<days>(t);
    const year_month_day date{day};
    const hh_mm_ss time{t - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

// A transfer is one whole frame when its length field gives its own size.
bool IsWholeFrame(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kFrameOverhead && GetLe16(bytes.data()) == bytes.size();
}

} // namespace

std::unique_ptr<TraceFile> TraceFile::Create(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return nullptr;
    return std::unique_ptr<TraceFile>(new TraceFile(file));
}

void TraceFile::WriteLine(std::string_view line)
{
    std::fwrite(line.data(), 1, line.size(), file_.get());
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
}

JsonTraceSink::JsonTraceSink(TraceFile& file, Clock& clock, std::string_view kind, SecretFrameTest carriesSecret)
    : file_(file), clock_(clock), kind_(kind), carriesSecret_(carriesSecret), startUs_(clock.Microseconds())
{
}

std::string JsonTraceSink::LineStart()
{
    return "{\"time\":\"" + IsoUtc(clock_.UtcSeconds()) + "\",\"us\":" +
           std::to_string(clock_.Microseconds() - startUs_) + ",\"device\":" + JsonString(kind_);
}

void JsonTraceSink::TraceBytes(int direction, std::span<const std::uint8_t> bytes, std::uint32_t deviceTag, int)
{
    char tag[16];
    std::snprintf(tag, sizeof tag, "%X", static_cast<unsigned>(deviceTag));
    std::string line = LineStart() + ",\"serial\":\"" + tag + "\",\"dir\":\"" + (direction == 1 ? "out" : "in") + '"';
    const bool frame = IsWholeFrame(bytes);
    if (frame)
        line += ",\"command\":" + std::to_string(bytes[2]);
    line += ",\"length\":" + std::to_string(bytes.size());
    if (frame && !carriesSecret_(bytes)) {
        line += ",\"bytes\":\"";
        for (const std::uint8_t b : bytes) {
            line += kHexDigits[b >> 4];
            line += kHexDigits[b & 0x0F];
        }
        line += '"';
    } else if (!bytes.empty()) {
        line += ",\"redacted\":true";
    }
    file_.WriteLine(line + '}');
}

void JsonTraceSink::TraceText(std::string_view text)
{
    file_.WriteLine(LineStart() + ",\"text\":" + JsonString(text) + '}');
}

} // namespace qozel

#include "app/LogTexts.h"

#include "app/HexText.h"
#include "link/Frame.h"
#include "platform/Clock.h"

#include <cstdio>
#include <span>

namespace qozel {
namespace {

struct Civil {
    std::int64_t year;
    unsigned month, day;
};

// The civil date of a day counted from 1970-01-01 (proleptic Gregorian).
Civil CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2), month, day};
}

std::string TimeText(std::uint64_t utcMs, Clock& clock, bool withMs)
{
    const auto utcSeconds = static_cast<std::int64_t>(utcMs / 1000);
    const std::int64_t local = utcSeconds + clock.LocalOffsetSeconds(utcSeconds);
    const std::int64_t days = local >= 0 ? local / 86400 : (local - 86399) / 86400;
    const std::int64_t second = local - days * 86400;
    const Civil date = CivilFromDays(days);
    char text[40];
    const int n = std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02lld:%02lld:%02lld",
                                static_cast<long long>(date.year), date.month, date.day,
                                static_cast<long long>(second / 3600), static_cast<long long>(second / 60 % 60),
                                static_cast<long long>(second % 60));
    if (withMs)
        std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), ".%03u",
                      static_cast<unsigned>(utcMs % 1000));
    return text;
}

std::int32_t SignedLe32(std::span<const std::uint8_t> b)
{
    return static_cast<std::int32_t>(GetLe32(b.data()));
}

// "1 cyfra", "4 cyfry", "5 cyfr".
std::string Digits(unsigned n)
{
    const char* word = "cyfr";
    if (n == 1)
        word = "cyfra";
    else if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14))
        word = "cyfry";
    return std::to_string(n) + " " + word;
}

std::string InputsText(const LogEntry& entry)
{
    std::string text = "Stan wejść:";
    const char* separator = " ";
    for (int input = 0; input < 2; ++input) {
        if ((entry.detail & (0x08 << input)) == 0)
            continue;
        text += separator;
        text += "tamper " + std::to_string(input + 1) + ((entry.detail & (1 << input)) ? " włączony" : " wyłączony");
        separator = ", ";
    }
    text += separator;
    text += (entry.detail & 0x04) ? "awaria zasilania" : "zasilanie w normie";
    return text;
}

std::string CardDataText(const LogEntry& entry)
{
    std::string text = "Karta QoZEL";
    const char* separator = ": ";
    const auto data = std::span<const std::uint8_t>(entry.data);
    if (entry.detail & 1) {
        text += separator + std::string("UID ") + HexText(data.first(8));
        separator = ", ";
    }
    if (entry.detail & 2) {
        text += separator + std::string("wydział ") + std::to_string(SignedLe32(data.subspan(8, 4)));
        separator = ", ";
    }
    if (entry.detail & 4)
        text += separator + std::string("index ") + std::to_string(SignedLe32(data.subspan(12, 4)));
    return text;
}

std::string DeviceText(const LogEntry& entry)
{
    static constexpr const char* kTitles[] = {kManagerTitle, kArkanTitle, kProgrammerTitle, kKbReaderTitle};
    const char* title = entry.detail2 < std::size(kTitles) ? kTitles[entry.detail2] : "";
    const unsigned soft = entry.data[0] | entry.data[1] << 8;
    return std::string(entry.kind == LogKind::DevicePlugged ? "Podłączono: " : "Odłączono: ") + title +
           " Nr: " + std::to_string(entry.Nr()) + ", Soft: " + std::to_string(soft);
}

} // namespace

std::string LocalTimeText(std::uint64_t utcMs, Clock& clock)
{
    return TimeText(utcMs, clock, true);
}

std::string LocalSecondsText(std::uint64_t utcMs, Clock& clock)
{
    return TimeText(utcMs, clock, false);
}

std::string ReaderLabel(int row, std::uint32_t id, std::uint8_t address)
{
    DevInfo info;
    info.nr = static_cast<std::uint16_t>(id);
    info.type = static_cast<std::uint16_t>(id >> 16);
    return std::to_string(row + 1) + ". " + ShortName(info) + " Nr: " + std::to_string(info.nr) + ", adres " +
           std::to_string(address);
}

std::string LogReaderText(const LogEntry& entry)
{
    return entry.IsReaderEntry() ? ReaderLabel(entry.row, entry.id, entry.address) : std::string();
}

std::string LogEventText(const LogEntry& entry)
{
    const auto data = std::span<const std::uint8_t>(entry.data);
    switch (entry.kind) {
    case LogKind::CardUid: return "Karta, UID " + HexText(data.first(8));
    case LogKind::CardData: return CardDataText(entry);
    case LogKind::RoRe: return "Telefon, RoRe " + HexText(data.first(8));
    case LogKind::Pin: return "PIN: " + Digits(entry.detail);
    case LogKind::Inputs: return InputsText(entry);
    case LogKind::BackupCard: return "karta zapasowa";
    case LogKind::OtherEvent: return "Zdarzenie rodzaju " + std::to_string(entry.detail2);
    case LogKind::DevicePlugged:
    case LogKind::DeviceUnplugged: return DeviceText(entry);
    case LogKind::ReaderJoined: return "Czytnik pojawił się na magistrali";
    case LogKind::ReaderLeft: return "Czytnik zniknął z magistrali";
    case LogKind::ReaderOffline: return "Czytnik przestał odpowiadać";
    case LogKind::ReaderOnline: return "Czytnik znów odpowiada";
    }
    return {};
}

} // namespace qozel

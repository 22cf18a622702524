#include "security/TraceSecrets.h"

#include "devices/arkan/ZelArkan.h"
#include "devices/kbreader/QoK31.h"
#include "devices/manager/ZelManager.h"
#include "devices/programmer/QoG30.h"
#include "security/DeviceLogin.h"

#include <algorithm>
#include <initializer_list>

namespace qozel {
namespace {

constexpr std::size_t kCommandByte = 2;

// The command of a request, or of the reply to it (the reply bit cleared).
std::uint8_t CommandOf(std::span<const std::uint8_t> frame)
{
    return frame[kCommandByte] & static_cast<std::uint8_t>(~kReplyBit);
}

bool IsOneOf(std::span<const std::uint8_t> frame, std::initializer_list<std::uint8_t> commands)
{
    return std::ranges::find(commands, CommandOf(frame)) != commands.end();
}

bool IsLoginOrPassword(std::span<const std::uint8_t> frame)
{
    return IsOneOf(frame, {kCmdGetChallenge, kCmdLogin, kCmdSetPassword});
}

} // namespace

bool ArkanFrameCarriesSecret(std::span<const std::uint8_t> frame)
{
    return IsLoginOrPassword(frame) ||
           IsOneOf(frame, {ZelArkan::kCmdStore, ZelArkan::kCmdIssueCertificate, ZelArkan::kCmdSignCertificate,
                           ZelArkan::kCmdReset});
}

bool ProgrammerFrameCarriesSecret(std::span<const std::uint8_t> frame)
{
    return IsLoginOrPassword(frame) ||
           IsOneOf(frame, {QoG30::kCmdLoadKeyCertificate, QoG30::kCmdIssueResetCertificate, QoG30::kCmdReset,
                           QoG30::kCmdWriteCardFile, QoG30::kCmdReadCardFile});
}

bool ManagerFrameCarriesSecret(std::span<const std::uint8_t> frame)
{
    // Event frames: code, the reader's 4-byte id, then the event's kind.
    constexpr std::size_t kEventKindByte = kCommandByte + 1 + 4;
    if (frame[kCommandByte] == ZelManager::kCmdEvent) {
        if (frame.size() <= kEventKindByte + 2)
            return false;
        const std::uint8_t kind = frame[kEventKindByte];
        return kind == ReaderEvent::Pin || kind == ReaderEvent::BackupCertificate;
    }
    return IsOneOf(frame, {ZelManager::kCmdSignResetCertificate, ZelManager::kCmdWriteReaderKeyCertificate});
}

bool KbReaderFrameCarriesSecret(std::span<const std::uint8_t> frame)
{
    return IsOneOf(frame, {QoK31::kCmdLoadCertificate});
}

} // namespace qozel

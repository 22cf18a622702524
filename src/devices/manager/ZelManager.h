#pragma once

#include "devices/manager/ReaderConfig.h"
#include "devices/manager/ReaderEvent.h"
#include "devices/manager/ReaderRecord.h"
#include "link/QoWUsbBulkD.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// The ZEL Manager: a bulk device that masters the OSDP bus of up to 32
// readers. Direct commands address the Manager; relayed commands carry a
// reader's id and are answered by that reader through the Manager.
class ZelManager : public QoWUsbBulkD {
public:
    static constexpr std::uint8_t kCmdReaderList = 78;
    static constexpr std::uint8_t kCmdSetBusRate = 98;
    static constexpr std::uint8_t kCmdEvent = 101;
    static constexpr std::uint8_t kCmdSetKeySignature = 115;
    static constexpr std::uint8_t kCmdSetTime = 116;

    static constexpr std::uint8_t kCmdSetReaderAddress = 65;
    static constexpr std::uint8_t kCmdWriteReaderConfig = 67;
    static constexpr std::uint8_t kCmdSignResetCertificate = 69;
    static constexpr std::uint8_t kCmdWriteReaderKeyCertificate = 75;
    static constexpr std::uint8_t kCmdIdentifyReader = 83;
    static constexpr std::uint8_t kCmdReadModuleData = 99;
    static constexpr std::uint8_t kCmdSetReadingMode = 114;
    static constexpr std::uint8_t kCmdReaderUpgrade = 117;

    // Addresses every reader of the bus at once.
    static constexpr std::uint32_t kAllReaders = 0xFFFFFFFF;
    // Largest payload of a relayed request (the id takes 4 bytes of the frame).
    static constexpr std::size_t kMaxRelayPayload = kMaxPayload - 4;
    // NextEvent's answer when no event of a listed reader came.
    static constexpr int kNoEvent = 0xFFFF;
    static constexpr std::size_t kCertificateSize = 80;
    static constexpr std::uint8_t kHighestAddress = 126;

    enum ConfigKind : std::uint8_t { ReaderConfigKind = 0, ModuleConfigKind = 1 };
    enum ModuleData : std::uint8_t { ModuleConfigData = 1, ModuleReader1 = 2, ModuleReader2 = 3 };
    enum ReadingMode : std::uint8_t { NormalReading = 1, BackupCardReading = 7 };

    using Certificate = std::array<std::uint8_t, kCertificateSize>;

    ZelManager(UsbHost& host, Clock& clock);

    int ImageVersion() override;

    // Direct commands.
    // Command 78: the number of 22-byte entries in `list`. Throws WUsbErr 6
    // (cmd 78) unless the reply is a whole number of 1 to 32 entries.
    std::size_t ReadReaderList(std::span<std::uint8_t, kReaderListMax> list);
    // Command 98 with rate / 100, then the state, whose flags show the rate.
    void SetBusRate(std::uint32_t rate);
    // Command 115; the next RefreshReaders reports every row as changed.
    void SetKeySignature(std::uint32_t signature);
    // Command 116: UTC seconds since 1970 modulo 2^32.
    void SetTime(std::uint32_t utcSeconds);
    // Waits 5 ms for an event frame; false when none came.
    bool ReadEvent(ReaderEvent& event);

    // Relay exchanges (2000 ms per attempt). Index -1 addresses all readers.
    // Payload length of the reader's reply; 0 without any traffic when the
    // index is not a listed reader. Throws WUsbErr 3.
    std::size_t RelayExchange(int index, std::uint8_t command, std::span<const std::uint8_t> request,
                              std::span<std::uint8_t> reply);
    // 0 when reply.size() (2 to kMaxRelayPayload) bytes came, else the
    // reader's refusal (kRefusedWithoutReason for a 0 byte); `reply` is then
    // untouched. Throws WUsbErr 6, 3 for an index that is not listed, or 11 or
    // 12 without sending for a size outside that range.
    int RelayExchangeData(int index, std::uint8_t command, std::span<const std::uint8_t> request,
                          std::span<std::uint8_t> reply);
    // Throws WUsbErr 3 unless one status byte came, WUsbErr 4 unless it is 0.
    void RelayExchangeOk(int index, std::uint8_t command, std::span<const std::uint8_t> request);
    // The status byte. Throws WUsbErr 3 unless exactly one byte came.
    std::uint8_t RelayExchangeStatus(int index, std::uint8_t command, std::span<const std::uint8_t> request);

    // Reader commands.
    std::uint8_t SetReaderAddress(int index, std::uint8_t address);
    bool WriteReaderConfig(int index, ConfigKind kind, const ConfigBytes& config);
    // The signed certificate lands in `signedCertificate`; 0 on success.
    int SignResetCertificate(int index, std::span<const std::uint8_t, kCertificateSize> certificate,
                             std::span<std::uint8_t, kCertificateSize> signedCertificate);
    std::uint8_t WriteReaderKeyCertificate(int index, std::span<const std::uint8_t, kCertificateSize> certificate);
    void IdentifyReader(int index);
    // 0 with the 8 bytes of `subCode` in `data`, else the module's refusal.
    int ReadModuleData(int index, ModuleData subCode, std::span<std::uint8_t, 8> data);
    // Sent to all readers, whether any is listed or not.
    void SetReadingMode(ReadingMode mode, std::uint32_t value);

    // Reader table.
    // Reads the list; bit i of the result is set when row i changed.
    std::uint32_t RefreshReaders();
    // Index of the reader of the next event, or kNoEvent when none came or
    // its reader is not listed (the event is then consumed).
    int NextEvent(ReaderEvent& event);
    void ResetReaderList();
    bool AddressInUse(int index, std::uint8_t address) const;
    int FindReaderWithKeySignature() const;
    bool AnyReaderWithBackupKeys() const;
    // Kind 0 to every online reader, going on after refusals; true when all accepted.
    bool WriteReaderConfigToAll(const ConfigBytes& config);
    // Closes and forgets the device and the signature last sent; the reader table stays.
    void CloseManager();

    // Reader firmware upgrade through relayed command 117.
    int ReaderImageVersion(int index);
    // Progress 0..100 after a successful step, -1 when the reader refused (the
    // image is then disabled). Throws WUsbErr 13 when there is nothing to
    // send: no reader image, or all its blocks sent.
    int UpgradeReaderStep(int index);
    std::uint8_t SendReaderBlock(int index, std::uint16_t blockNumber,
                                 std::span<const std::uint8_t, FirmwareImage::kBlockSize> block);

    std::array<ReaderRecord, kMaxReaders> readers{};
    std::int32_t readerCount = 0;
    bool anyReaderOnline = false;
    std::int32_t maxReaderAddress = 0;
    std::uint32_t sentKeySignature = 0;
    bool keySignatureChanged = false;
    FirmwareImage* readerImage = nullptr;
    std::int32_t readerBlockCounter = 0;

private:
    void SendRelayFrame(std::uint8_t command, std::uint32_t id, std::span<const std::uint8_t> request);
    std::size_t ReceiveRelayReply(std::uint8_t command, std::uint32_t id, std::span<std::uint8_t> reply);
    bool IsListed(int index) const noexcept { return index >= 0 && index < readerCount; }
};

} // namespace qozel

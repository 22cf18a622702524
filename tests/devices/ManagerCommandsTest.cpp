#include "support/DeviceErrorOf.h"
#include "ManagerFixture.h"

#include "ScriptedModel.h"
#include "SimCertificate.h"

namespace qozel {
namespace {

using testing::ErrorOf;

using sim::Bytes;

class ManagerCommands : public ManagerFixture {
protected:
    void SetUp() override
    {
        ManagerFixture::SetUp();
        model->AddReader(0x0101, 70);
        model->AddReader(0x0102, 72);
        model->AddModule(0x0103, 70, 75);
        manager.RefreshReaders();
        ASSERT_EQ(manager.readerCount, 3);
        device->written.clear();
        device->pipeTimeouts.clear();
    }

    sim::SimReader& Reader(std::size_t i) { return *model->bus[i]; }
};

TEST_F(ManagerCommands, DirectCommandsCarryLittleEndianValuesAndShortTimeouts)
{
    manager.SetTime(0x65A1B2C3);
    EXPECT_EQ(model->clock, 0x65A1B2C3u);
    EXPECT_EQ(LastFrame().payload, (Bytes{0xC3, 0xB2, 0xA1, 0x65}));
    EXPECT_EQ(manager.timeout(), 50);

    manager.SetKeySignature(0x12345678);
    EXPECT_EQ(LastFrame().code, 115);
    EXPECT_EQ(model->keySignature, 0x12345678u);
    EXPECT_EQ(manager.sentKeySignature, 0x12345678u);
    EXPECT_TRUE(manager.keySignatureChanged);

    // The new rate shows in the Manager's state, which is read again at once.
    manager.SetBusRate(19200);
    EXPECT_EQ(model->baud100, 192);
    EXPECT_EQ(model->requests()[model->requests().size() - 2].payload, (Bytes{192, 0}));
    EXPECT_EQ(LastFrame().code, 77);
    EXPECT_EQ(manager.info, (DevInfo{0x0031, 0x0089, 3, 192}));
}

TEST_F(ManagerCommands, RefusedDirectCommandsAreDeviceErrors)
{
    const WUsbErr rate = ErrorOf<WUsbErr>([&] { manager.SetBusRate(12300); });
    EXPECT_EQ(rate.code, WUsbErr::StatusNotOk);
    EXPECT_EQ(rate.cmd, 98);
    EXPECT_EQ(model->baud100, 96);

    model->faults.refuseCommand = 115;
    manager.keySignatureChanged = false;
    const WUsbErr sig = ErrorOf<WUsbErr>([&] { manager.SetKeySignature(7); });
    EXPECT_EQ(sig.code, WUsbErr::StatusNotOk);
    // A signature the Manager refused is not remembered as sent.
    EXPECT_EQ(manager.sentKeySignature, 0u);
    EXPECT_FALSE(manager.keySignatureChanged);
}

TEST_F(ManagerCommands, RelayFrameCarriesTheReaderIdAndUsesTheLongTimeout)
{
    manager.IdentifyReader(1);
    EXPECT_EQ(Reader(1).identifyCount, 1);
    // length 10 = 1 payload byte + 9, command 83, id of reader 1 (nr 0x0102, type 72), value 5, CRC.
    const Bytes& frame = device->written.back();
    ASSERT_EQ(frame.size(), 10u);
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 8), (Bytes{0x0A, 0x00, 83, 0x02, 0x01, 72, 0x00, 5}));
    EXPECT_EQ(sim::ModbusCrc(frame), 0);
    EXPECT_EQ(device->pipeTimeouts, (std::vector<std::uint32_t>{2000}));
}

TEST_F(ManagerCommands, ReplyNamingAnotherReaderIsIgnored)
{
    model->answerForOtherReaderFirst = true;
    EXPECT_EQ(manager.SetReaderAddress(2, 17), 0);
    EXPECT_EQ(Reader(2).address, 17);
    // The matching answer that followed was taken; the request was not repeated.
    EXPECT_EQ(model->CountOf(65), 1u);

}

TEST_F(ManagerCommands, RelayRepliesWithABadCrcOrCutShortAreNotTaken)
{
    const Bytes id = IdBytes(manager.readers[0].readerId());
    Bytes badCrc = sim::MakeFrame(65 | 0x80, Bytes{id[0], id[1], id[2], id[3], 0});
    badCrc.back() ^= 0xFF;
    const Bytes cutShort = sim::MakeFrame(65 | 0x80, Bytes{id[0], id[1]});
    for (const Bytes& reply : {badCrc, cutShort}) {
        Reader(0).connected = false;
        device->QueueTransfer(reply);
        const WUsbErr e = ErrorOf<WUsbErr>([&] { manager.SetReaderAddress(0, 4); });
        EXPECT_EQ(e.code, WUsbErr::NoReply);
        EXPECT_NE(Reader(0).address, 4);
    }
}

TEST_F(ManagerCommands, IndexOutsideTheListSendsNothing)
{
    std::array<std::uint8_t, 1> reply{};
    EXPECT_EQ(manager.RelayExchange(3, 83, Bytes{5}, reply), 0u);
    EXPECT_EQ(manager.RelayExchange(-2, 83, Bytes{5}, reply), 0u);
    const WUsbErr e = ErrorOf<WUsbErr>([&] { manager.SetReaderAddress(3, 4); });
    EXPECT_EQ(e.code, WUsbErr::NoReply);
    EXPECT_EQ(e.cmd, 65);
    EXPECT_TRUE(device->written.empty());
}

TEST_F(ManagerCommands, OversizedRelayRequestIsNeverSent)
{
    std::array<std::uint8_t, 1> reply{};
    EXPECT_NO_THROW(manager.RelayExchange(0, 117, Bytes(1023, 0), reply));
    device->written.clear();
    const WUsbErr e = ErrorOf<WUsbErr>([&] { manager.RelayExchange(0, 117, Bytes(1024, 0), reply); });
    EXPECT_EQ(e.code, WUsbErr::NoReply);
    EXPECT_EQ(e.cmd, 117);
    EXPECT_TRUE(device->written.empty());
}

TEST_F(ManagerCommands, ReaderGoneFromTheBusIsNoReplyAfterOneResend)
{
    Reader(0).connected = false;
    const std::uint64_t start = clock.Microseconds();
    const WUsbErr e = ErrorOf<WUsbErr>([&] { manager.SetReaderAddress(0, 4); });
    EXPECT_EQ(e.code, WUsbErr::NoReply);
    EXPECT_EQ(model->CountOf(65), 2u);
    EXPECT_GE(clock.Microseconds() - start, 4'000'000u);
}

TEST_F(ManagerCommands, StatusRepliesOfTheWrongLengthAreDeviceErrors)
{
    Reader(0).forcedAnswers[65] = {0, 0};
    EXPECT_EQ(ErrorOf<WUsbErr>([&] { manager.SetReaderAddress(0, 4); }).code, WUsbErr::NoReply);
    Reader(0).forcedAnswers[83] = {1};
    const WUsbErr refused = ErrorOf<WUsbErr>([&] { manager.IdentifyReader(0); });
    EXPECT_EQ(refused.code, WUsbErr::StatusNotOk);
    EXPECT_EQ(refused.cmd, 83);
    Reader(0).forcedAnswers[67] = {2};
    EXPECT_FALSE(manager.WriteReaderConfig(0, ZelManager::ReaderConfigKind, ConfigBytes{}));
}

TEST_F(ManagerCommands, DataRequestsUseOnlyAnswersOfTheFullLength)
{
    std::array<std::uint8_t, 8> data;
    data.fill(0xAA);
    // A single 0 byte carries no data: a refusal, and the buffer keeps what it held.
    Reader(2).forcedAnswers[99] = {0};
    EXPECT_EQ(manager.ReadModuleData(2, ZelManager::ModuleConfigData, data), QoWUsbBulkD::kRefusedWithoutReason);
    EXPECT_EQ(data, (std::array<std::uint8_t, 8>{0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
    Reader(2).forcedAnswers[99] = {7};
    EXPECT_EQ(manager.ReadModuleData(2, ZelManager::ModuleConfigData, data), 7);
    Reader(2).forcedAnswers[99] = Bytes(7, 0);
    const WUsbErr shortData = ErrorOf<WUsbErr>([&] { manager.ReadModuleData(2, ZelManager::ModuleReader1, data); });
    EXPECT_EQ(shortData.code, WUsbErr::BadLength);
    EXPECT_EQ(shortData.cmd, 99);
    EXPECT_EQ(data[0], 0xAA);

    std::array<std::uint8_t, 1> tiny{};
    EXPECT_EQ(ErrorOf<WUsbErr>([&] { manager.RelayExchangeData(0, 99, Bytes{1}, tiny); }).code, WUsbErr::ReplyTooShort);
    // More than a relay frame can carry back is asked of no reader.
    const std::size_t sent = device->written.size();
    Bytes tooLong(ZelManager::kMaxRelayPayload + 1);
    EXPECT_EQ(ErrorOf<WUsbErr>([&] { manager.RelayExchangeData(0, 99, Bytes{1}, tooLong); }).code,
              WUsbErr::ReplyTooLong);
    EXPECT_EQ(device->written.size(), sent);
}

TEST_F(ManagerCommands, ModuleDataAndConfigurationsReachTheAddressedReader)
{
    std::array<std::uint8_t, 8> data{};
    ASSERT_EQ(manager.ReadModuleData(2, ZelManager::ModuleReader2, data), 0);
    EXPECT_EQ(DevInfo::FromBytes(data).type, 75);
    EXPECT_EQ(LastFrame().payload, (Bytes{0x03, 0x01, 0x06, 0x03, 3}));

    const ModuleConfig module{3, ModuleConfig::Outputs, ModuleConfig::InputsAndOutputs};
    EXPECT_TRUE(manager.WriteReaderConfig(2, ZelManager::ModuleConfigKind, module.Bytes()));
    ASSERT_EQ(manager.ReadModuleData(2, ZelManager::ModuleConfigData, data), 0);
    EXPECT_EQ(data, (std::array<std::uint8_t, 8>{0x30, 0x07, 0, 0, 0, 0, 0, 0}));
    const ModuleConfig back = ModuleConfig::FromBytes(data);
    EXPECT_EQ(back.activityIndex, 3);
    EXPECT_EQ(back.reader1, ModuleConfig::Outputs);
    EXPECT_EQ(back.reader2, ModuleConfig::InputsAndOutputs);
    // An ordinary reader has no module configuration.
    EXPECT_FALSE(manager.WriteReaderConfig(0, ZelManager::ModuleConfigKind, module.Bytes()));

    ReaderConfig config;
    config.pinWhole = true;
    config.roRe = true;
    config.sendDepartment = true;
    config.sendIndex = true;
    EXPECT_TRUE(manager.WriteReaderConfig(1, ZelManager::ReaderConfigKind, config.Bytes()));
    EXPECT_EQ(LastFrame().payload, (Bytes{0x02, 0x01, 72, 0x00, 0, 0x02, 0x20, 0x06, 0, 0, 0, 0, 0}));
    manager.RefreshReaders();
    EXPECT_EQ(manager.readers[1].config0, 0x02);
    EXPECT_EQ(manager.readers[1].config1, 0x20);
    EXPECT_EQ(manager.readers[1].config2, 0x06);
    const ReaderConfig read = ReaderConfig::FromRecord(manager.readers[1]);
    EXPECT_EQ(read.Bytes(), config.Bytes());
}

TEST_F(ManagerCommands, ModuleModeFieldNeverWrittenReadsAsInputsAndOutputs)
{
    const ModuleConfig blank = ModuleConfig::FromBytes(ConfigBytes{0xF0, 0x00});
    EXPECT_EQ(blank.activityIndex, 15);
    EXPECT_EQ(ModuleConfig::ActivitySeconds(blank.activityIndex), 64u);
    EXPECT_EQ(blank.reader1, ModuleConfig::InputsAndOutputs);
    EXPECT_EQ(blank.reader2, ModuleConfig::InputsAndOutputs);
    const ModuleConfig written = ModuleConfig::FromBytes(ConfigBytes{0x00, 0x0E});
    EXPECT_EQ(written.reader1, ModuleConfig::Inputs);
    EXPECT_EQ(written.reader2, ModuleConfig::Outputs);
}

TEST_F(ManagerCommands, ConfigurationToAllGoesOnAfterARefusalAndSkipsOfflineReaders)
{
    Reader(0).forcedAnswers[67] = {1};
    Reader(1).connected = false;
    manager.RefreshReaders();
    device->written.clear();
    const ConfigBytes config{0x04, 0x00, 0x01};
    EXPECT_FALSE(manager.WriteReaderConfigToAll(config));
    EXPECT_EQ(device->written.size(), 2u);
    EXPECT_EQ(Reader(2).config, (std::array<std::uint8_t, 3>{0x04, 0x00, 0x01}));

    Reader(0).forcedAnswers.clear();
    EXPECT_TRUE(manager.WriteReaderConfigToAll(config));
    EXPECT_EQ(Reader(0).config, Reader(2).config);
}

TEST_F(ManagerCommands, ReadingModeIsSentToAllReadersEvenWithNoneListed)
{
    manager.ResetReaderList();
    manager.SetReadingMode(ZelManager::BackupCardReading, 0x010E1247);
    EXPECT_EQ(LastFrame().code, 114);
    EXPECT_EQ(LastFrame().payload, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 7, 0x47, 0x12, 0x0E, 0x01}));
    for (const auto& reader : model->bus) {
        EXPECT_EQ(reader->readingMode, 7);
        EXPECT_EQ(reader->readingValue, 0x010E1247u);
    }
}

TEST_F(ManagerCommands, KeyCertificatesAndResetSigningThroughTheRelay)
{
    sim::CertificateContent key{.certClass = 1, .number = 21, .targetId = Reader(1).id(), .keySignature = 0x5EED};
    const Bytes first = sim::SealCertificate(key, 80);
    key.number = 22;
    const Bytes second = sim::SealCertificate(key, 80);
    EXPECT_EQ(manager.WriteReaderKeyCertificate(1, std::span<const std::uint8_t, 80>(first.data(), 80)), 0);
    EXPECT_EQ(manager.WriteReaderKeyCertificate(1, std::span<const std::uint8_t, 80>(second.data(), 80)), 0);
    // Another reader does not take a certificate issued for reader 1.
    EXPECT_NE(manager.WriteReaderKeyCertificate(0, std::span<const std::uint8_t, 80>(first.data(), 80)), 0);

    sim::CertificateContent reset{.certClass = 1, .number = 79, .targetId = Reader(1).id(), .keySignature = 0x5EED};
    const Bytes request = sim::SealCertificate(reset, 80);
    ZelManager::Certificate signedCert{};
    ASSERT_EQ(manager.SignResetCertificate(1, std::span<const std::uint8_t, 80>(request.data(), 80), signedCert), 0);
    const auto opened = sim::OpenCertificate(signedCert);
    ASSERT_TRUE(opened.has_value());
    EXPECT_TRUE(opened->signedByTarget);

    // A reader without keys refuses to sign: no certificate comes back.
    signedCert.fill(0);
    reset.targetId = Reader(0).id();
    const Bytes other = sim::SealCertificate(reset, 80);
    EXPECT_EQ(manager.SignResetCertificate(0, std::span<const std::uint8_t, 80>(other.data(), 80), signedCert), 1);
    EXPECT_EQ(signedCert, ZelManager::Certificate{});
}

TEST(ManagerReaderList, EmptyReplyIsNoReplyAndOddLengthIsBadLength)
{
    sim::VirtualClock clock;
    sim::SimUsbHost host{clock};
    auto model = std::make_shared<sim::ScriptedModel>(0x0031, 0x0089, 3, 96);
    host.Attach(std::make_shared<sim::SimUsbDevice>(kManagerGuid, model));
    ZelManager manager{host, clock};
    ASSERT_TRUE(manager.Open());
    std::array<std::uint8_t, kReaderListMax> list{};

    model->replies[78] = {};
    try {
        manager.ReadReaderList(list);
        ADD_FAILURE() << "an empty list reply was accepted";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, WUsbErr::NoReply);
        EXPECT_EQ(e.cmd, 78);
    }
    EXPECT_EQ(model->CountOf(78), 2u);

    for (std::size_t bad : {std::size_t{23}, std::size_t{21}, std::size_t{726}}) {
        model->replies[78] = Bytes(bad, 1);
        try {
            manager.ReadReaderList(list);
            ADD_FAILURE() << bad << " bytes accepted";
        } catch (const WUsbErr& e) {
            EXPECT_EQ(e.code, WUsbErr::BadLength);
            EXPECT_EQ(e.cmd, 78);
        }
    }
    model->replies[78] = Bytes(704, 1);
    EXPECT_EQ(manager.ReadReaderList(list), 32u);
}

} // namespace
} // namespace qozel

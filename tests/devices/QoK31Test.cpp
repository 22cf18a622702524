#include "support/DeviceErrorOf.h"
#include "devices/kbreader/ZelCfgKbRd.h"
#include "link/DeviceErrors.h"

#include "KbReaderModel.h"
#include "ScriptedModel.h"
#include "ScriptedPrompts.h"
#include "SimCertificate.h"
#include "SimHidHost.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace qozel {
namespace {

using testing::ErrorOf;

using sim::Bytes;

class K31 : public ::testing::Test {
protected:
    // Plugs a device and opens the reader object on it.
    void Plug(std::shared_ptr<sim::SimDeviceModel> m)
    {
        device = std::make_shared<sim::SimHidDevice>(std::move(m), HidAttributes{DeviceVendorId, KbRdProductId, 1});
        host.Attach(device);
        ASSERT_TRUE(reader.Open());
    }

    Bytes Certificate(std::uint8_t number, std::uint32_t target, std::uint32_t signature, bool temporary = false)
    {
        sim::CertificateContent c;
        c.certClass = 1;
        c.number = number;
        c.targetId = target;
        c.keySignature = signature;
        c.temporary = temporary;
        return sim::SealCertificate(c, 80);
    }

    bool Load(const Bytes& certificate)
    {
        return reader.LoadKeyCertificate(std::span<const std::uint8_t, 80>(certificate.data(), 80));
    }

    // The payload of the request frame carried in report `i`.
    Bytes RequestPayload(std::size_t i) const
    {
        const Bytes& r = device->reports.at(i);
        const std::size_t length = r[1] | r[2] << 8;
        return Bytes(r.begin() + 4, r.begin() + static_cast<std::ptrdiff_t>(1 + length - 2));
    }

    sim::SimHidHost host;
    std::shared_ptr<sim::KbReaderModel> model = std::make_shared<sim::KbReaderModel>(0x0231);
    std::shared_ptr<sim::SimHidDevice> device;
    ZelCfgKbRd reader{host};
    sim::ScriptedPrompts prompts;
};

TEST_F(K31, RefreshReadsTheSignatureOnlyWhenBothKeyBitsAreSet)
{
    model->PreloadKeys(0x6553F100, true);
    Plug(model);
    reader.Refresh();
    EXPECT_EQ(reader.info.flags, 0x0083);
    EXPECT_TRUE(reader.HasTemporaryKeys());
    EXPECT_EQ(reader.keySignature, 0x6553F100u);
    EXPECT_EQ(model->CountOf(115), 1u);
    // Command 77 then 115, each a bare frame in report 0x41 padded with zeros.
    Bytes state(63, 0);
    const std::uint8_t frame77[] = {0x41, 0x05, 0x00, 0x4D, 0xA1, 0xF4};
    std::copy(std::begin(frame77), std::end(frame77), state.begin());
    EXPECT_EQ(device->reports.at(0), state);
    EXPECT_EQ(device->reports.at(1)[3], 115);
    EXPECT_EQ(RequestPayload(1), Bytes{});

    // Flags 0x0001: no keys, no command 115, and the signature keeps its value.
    auto scripted = std::make_shared<sim::ScriptedModel>(0x0232, sim::KbReaderModel::kDefaultType, 2, 0x0001);
    scripted->replies[115] = {1, 2, 3, 4};
    reader.Close();
    host.Detach(*device);
    Plug(scripted);
    reader.Refresh();
    EXPECT_FALSE(reader.HasKeys());
    EXPECT_EQ(scripted->CountOf(115), 0u);
    EXPECT_EQ(reader.keySignature, 0x6553F100u);
}

TEST_F(K31, TheSignatureIsTheFirstFourBytesOfALongEnoughReply)
{
    auto scripted = std::make_shared<sim::ScriptedModel>(0x0232, sim::KbReaderModel::kDefaultType, 2, 0x0003);
    Plug(scripted);
    // Reply lengths up to the most report 0x41 carries; the bytes count up from 1.
    for (std::size_t length : {1u, 3u, 4u, 5u, 57u}) {
        Bytes reply(length);
        for (std::size_t i = 0; i < length; ++i)
            reply[i] = static_cast<std::uint8_t>(i + 1);
        scripted->replies[115] = reply;
        reader.keySignature = 0x11111111;
        if (length < 4) {
            const QoHIDErr e = ErrorOf<QoHIDErr>([&] { reader.Refresh(); });
            EXPECT_EQ(e.code, 4) << length;
            EXPECT_EQ(e.cmd, 115) << length;
            EXPECT_EQ(reader.keySignature, 0x11111111u) << length;
        } else {
            EXPECT_NO_THROW(reader.Refresh()) << length;
            EXPECT_EQ(reader.keySignature, 0x04030201u) << length;
        }
    }
}

TEST_F(K31, WriteConfigSendsBothHalvesWithTheirIndex)
{
    Plug(model);
    KbRdConfig config{};
    for (std::size_t i = 0; i < config.size(); ++i)
        config[i] = static_cast<std::uint8_t>(0xA0 + i);
    EXPECT_TRUE(reader.WriteConfig(config, prompts));
    EXPECT_EQ(model->config, config);
    ASSERT_EQ(model->requests().size(), 2u);
    EXPECT_EQ(model->requests()[0].payload, (Bytes{0, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7}));
    EXPECT_EQ(model->requests()[1].payload, (Bytes{1, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF}));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(K31, WriteConfigHalfMasksTheHalfIndexWithThree)
{
    Plug(model);
    const std::array<std::uint8_t, 8> bytes{1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_TRUE(reader.WriteConfigHalf(5, bytes));  // 5 & 3 = 1
    EXPECT_EQ(model->requests().back().payload[0], 1);
    EXPECT_FALSE(reader.WriteConfigHalf(6, bytes));  // 6 & 3 = 2: the reader has no third half
}

TEST_F(K31, ARefusedFirstHalfStopsTheWrite)
{
    model->faults.refuseCommand = 67;
    Plug(model);
    EXPECT_FALSE(reader.WriteConfig(KbRdConfig{}, prompts));
    EXPECT_EQ(model->CountOf(67), 1u);
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"K31 nie przyjmuje konfiguracji."});
    EXPECT_TRUE(reader.IsOpen());
}

TEST_F(K31, ARefusedSecondHalfIsReportedTheSameWay)
{
    Plug(model);
    const std::array<std::uint8_t, 8> bytes{};
    ASSERT_TRUE(reader.WriteConfigHalf(0, bytes));
    model->ClearRequests();
    model->faults.refuseCommand = 67;
    model->faults.refusalStatus = 7;
    EXPECT_FALSE(reader.WriteConfig(KbRdConfig{}, prompts));
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"K31 nie przyjmuje konfiguracji."});
}

TEST_F(K31, ALostReaderDuringTheWriteIsClosedAndReported)
{
    model->PreloadKeys(0x12345678, false);
    Plug(model);
    reader.Refresh();
    model->faults.disconnectAt = 67;
    EXPECT_FALSE(reader.WriteConfig(KbRdConfig{}, prompts));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.keySignature, 0u);
    EXPECT_EQ(reader.info, DevInfo{});
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"Brak połączenia z czytnikiem klawiaturowym K31."});
}

TEST_F(K31, AStatusOfTwoBytesIsADeviceErrorNotAnAnswer)
{
    model->faults.wrongLengthFor = 67;
    Plug(model);
    EXPECT_FALSE(reader.WriteConfig(KbRdConfig{}, prompts));
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"Brak połączenia z czytnikiem klawiaturowym K31."});
    reader.Open();
    const QoHIDErr e = ErrorOf<QoHIDErr>([&] { reader.WriteConfigHalf(0, std::array<std::uint8_t, 8>{}); });
    EXPECT_EQ(e.code, 4);
    EXPECT_EQ(e.cmd, 67);
}

TEST_F(K31, KeysAreTakenOnlyFromCertificatesIssuedForThisReader)
{
    Plug(model);
    reader.ReadState();
    const std::uint32_t id = reader.info.DeviceId();
    EXPECT_EQ(id, model->DeviceId());

    EXPECT_FALSE(Load(Certificate(21, id + 1, 0x6553F100)));  // another reader's
    Bytes forged = Certificate(21, id, 0x6553F100);
    forged[7] ^= 0x01;
    EXPECT_FALSE(Load(forged));
    sim::CertificateContent wrongClass{0, 21, id};
    EXPECT_FALSE(Load(sim::SealCertificate(wrongClass, 80)));  // a programmer's class

    const Bytes first = Certificate(21, id, 0x6553F100);
    EXPECT_TRUE(Load(first));
    EXPECT_EQ(model->requests().back().payload, first) << "carried unchanged";
    reader.Refresh();
    EXPECT_FALSE(reader.HasKeys()) << "one certificate of two loads no keys";
    EXPECT_TRUE(Load(Certificate(22, id, 0x6553F100)));
    reader.Refresh();
    EXPECT_TRUE(reader.HasKeys());
    EXPECT_FALSE(reader.HasTemporaryKeys());
    EXPECT_EQ(reader.keySignature, 0x6553F100u);
}

TEST_F(K31, RequestsTravelInTheReportTheirFrameLengthSelects)
{
    auto scripted = std::make_shared<sim::ScriptedModel>();
    scripted->replies[0x10] = {0};
    Plug(scripted);
    // payload length -> report ID and report length
    const std::pair<std::size_t, std::pair<std::uint8_t, std::size_t>> cases[] = {
        {0, {0x41, 63}},   {57, {0x41, 63}},   {58, {0x42, 127}}, {121, {0x42, 127}},
        {122, {0x43, 191}}, {80, {0x42, 127}}, {522, {0x49, 575}}, {569, {0x49, 575}},
    };
    for (const auto& [n, report] : cases) {
        EXPECT_EQ(reader.ExchangeStatus(0x10, Bytes(n, 0x5A)), 0);
        ASSERT_FALSE(device->reports.empty());
        EXPECT_EQ(device->reports.back()[0], report.first) << n;
        EXPECT_EQ(device->reports.back().size(), report.second) << n;
        EXPECT_EQ(scripted->requests().back().payload, Bytes(n, 0x5A)) << n;
    }
    const std::size_t sent = device->reports.size();
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { reader.ExchangeStatus(0x10, Bytes(570, 0)); }).code, 0);
    EXPECT_EQ(device->reports.size(), sent);
}

TEST_F(K31, TheKeyboardReaderSlotOffersNoUpgrade)
{
    sim::UseTestImages();
    Plug(model);
    reader.ReadState();
    EXPECT_EQ(reader.ImageVersion(), 0);
    EXPECT_EQ(reader.image, &BuiltInImage(ImageSlot::KbReader));
    EXPECT_EQ(reader.image->type(), 0);
    reader.Close();
    EXPECT_EQ(reader.image, nullptr);
}

} // namespace
} // namespace qozel

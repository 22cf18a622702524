#include "support/DeviceErrorOf.h"
#include "link/DeviceErrors.h"
#include "link/QoHID.h"

#include "ScriptedModel.h"
#include "SimHidHost.h"
#include "support/RecordingTrace.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qozel {
namespace {

using testing::ErrorOf;

using sim::Bytes;

class HidChannel : public ::testing::Test {
protected:
    std::shared_ptr<sim::SimHidDevice> Plug(std::uint16_t vendor, std::uint16_t product, std::uint16_t nr = 0x31)
    {
        auto m = std::make_shared<sim::ScriptedModel>(nr, 0x2031, 2, 0);
        auto d = std::make_shared<sim::SimHidDevice>(m, HidAttributes{vendor, product, 0x0100});
        host.Attach(d);
        return d;
    }

    sim::ScriptedModel& ModelOf(sim::SimHidDevice& d) { return static_cast<sim::ScriptedModel&>(d.model()); }


    sim::SimHidHost host;
};

TEST_F(HidChannel, OpenTakesOnlyTheFamilysVendorAndTheObjectsProduct)
{
    Plug(0x1111, KbRdProductId);                  // another vendor
    Plug(DeviceVendorId, KbRdProductId + 1);      // another product of the family
    auto reader = Plug(DeviceVendorId, KbRdProductId, 0x77);

    QoHID hid(host, KbRdProductId);
    ASSERT_TRUE(hid.Open());
    EXPECT_EQ(hid.release(), 0x0100);
    hid.ReadState();
    EXPECT_EQ(hid.info.nr, 0x77);
}

TEST_F(HidChannel, AReaderHeldOpenCannotBeOpenedBySecondObject)
{
    Plug(DeviceVendorId, KbRdProductId, 1);
    QoHID first(host, KbRdProductId);
    QoHID second(host, KbRdProductId);
    ASSERT_TRUE(first.Open());
    EXPECT_FALSE(second.Open());

    Plug(DeviceVendorId, KbRdProductId, 2);
    ASSERT_TRUE(second.Open());
    second.ReadState();
    EXPECT_EQ(second.info.nr, 2);
}

TEST_F(HidChannel, RequestsTravelInTheSmallestReportThatHoldsThem)
{
    auto reader = Plug(DeviceVendorId, KbRdProductId);
    ModelOf(*reader).replies[40] = {0};
    QoHID hid(host, KbRdProductId);
    ASSERT_TRUE(hid.Open());

    const struct {
        std::size_t payload;
        std::uint8_t reportId;
        std::size_t reportLength;
    } cases[] = {{0, 0x41, 63},    {57, 0x41, 63},   {58, 0x42, 127},  {121, 0x42, 127}, {122, 0x43, 191},
                 {249, 0x44, 255}, {250, 0x45, 319}, {377, 0x46, 383}, {441, 0x47, 447}, {505, 0x48, 511},
                 {506, 0x49, 575}, {522, 0x49, 575}, {569, 0x49, 575}};
    for (const auto& c : cases) {
        const Bytes request(c.payload, 0xA5);
        EXPECT_EQ(hid.ExchangeStatus(40, request), 0) << c.payload;
        const Bytes& report = reader->reports.back();
        EXPECT_EQ(report[0], c.reportId) << c.payload;
        EXPECT_EQ(report.size(), c.reportLength) << c.payload;
        EXPECT_EQ(report[1] | (report[2] << 8), static_cast<int>(c.payload + 5));
        EXPECT_EQ(ModelOf(*reader).requests().back().payload, request);
    }

    const std::size_t sent = reader->reports.size();
    const QoHIDErr e = ErrorOf<QoHIDErr>([&] { hid.ExchangeStatus(40, Bytes(570, 0)); });
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(reader->reports.size(), sent);
}

TEST_F(HidChannel, InvalidReplyReportsAreRefused)
{
    auto reader = Plug(DeviceVendorId, KbRdProductId);
    QoHID hid(host, KbRdProductId);
    ASSERT_TRUE(hid.Open());
    std::array<std::uint8_t, 8> reply{};

    // Command byte without the reply bit.
    reader->faults.rawReply = sim::MakeFrame(77, Bytes(8, 0));
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.Exchange(77, {}, reply); }).code, 3);
    // A length field of 63: more than report 0x41 can carry.
    Bytes tooLong = sim::MakeFrame(0xCD, Bytes(58, 0));
    EXPECT_EQ(tooLong.size(), 63u);
    reader->faults.rawReply = tooLong;
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.Exchange(77, {}, reply); }).code, 3);
    // A length field below 5.
    reader->faults.rawReply = Bytes{0x04, 0x00, 0xCD, 0x00};
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.Exchange(77, {}, reply); }).code, 3);
    // A failing CRC.
    reader->faults.rawReply.reset();
    reader->faults.corruptReplyCrc = true;
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.Exchange(77, {}, reply); }).code, 3);
    // No reply at all: the device hands back an empty report.
    reader->faults.corruptReplyCrc = false;
    ModelOf(*reader).faults.silent = true;
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.Exchange(77, {}, reply); }).code, 3);
}

TEST_F(HidChannel, RefusedReportsAndAClosedDevice)
{
    auto reader = Plug(DeviceVendorId, KbRdProductId);
    QoHID hid(host, KbRdProductId);
    std::array<std::uint8_t, 8> reply{};
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.Exchange(77, {}, reply); }).code, 2);

    ASSERT_TRUE(hid.Open());
    reader->faults.refuseSetFeature = true;
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.Exchange(77, {}, reply); }).code, 1);
    reader->faults.refuseSetFeature = false;
    reader->faults.refuseGetFeature = true;
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.Exchange(77, {}, reply); }).code, 1);
}

TEST_F(HidChannel, AStatusReplyMustBeOneByte)
{
    auto reader = Plug(DeviceVendorId, KbRdProductId);
    auto& model = ModelOf(*reader);
    QoHID hid(host, KbRdProductId);
    ASSERT_TRUE(hid.Open());

    model.replies[44] = {0x00, 0x01};
    QoHIDErr e = ErrorOf<QoHIDErr>([&] { hid.ExchangeStatus(44, {}); });
    EXPECT_EQ(e.code, 4);
    EXPECT_EQ(e.cmd, 44);

    model.replies[44] = {};
    std::array<std::uint8_t, 1> status{};
    EXPECT_EQ(hid.Exchange(44, {}, status), 0u); // an empty payload is a valid reply here
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.ExchangeStatus(44, {}); }).code, 4);
}

TEST_F(HidChannel, TheIdentityIsTheFirstEightBytesOfALongEnoughReply)
{
    auto reader = Plug(DeviceVendorId, KbRdProductId);
    auto& model = ModelOf(*reader);
    QoHID hid(host, KbRdProductId);
    ASSERT_TRUE(hid.Open());
    hid.ReadState();
    const DevInfo before = hid.info;

    // Reply lengths up to the most report 0x41 carries; the bytes count up from 1.
    for (std::size_t length : {7u, 8u, 9u, 57u}) {
        Bytes reply(length);
        for (std::size_t i = 0; i < length; ++i)
            reply[i] = static_cast<std::uint8_t>(i + 1);
        model.replies[77] = reply;
        hid.info = before;
        if (length < 8) {
            const QoHIDErr e = ErrorOf<QoHIDErr>([&] { hid.ReadState(); });
            EXPECT_EQ(e.code, 4) << length;
            EXPECT_EQ(e.cmd, 77) << length;
            EXPECT_EQ(hid.info, before) << length;
        } else {
            EXPECT_NO_THROW(hid.ReadState()) << length;
            EXPECT_EQ(hid.info, (DevInfo{0x0201, 0x0403, 0x0605, 0x0807})) << length;
        }
    }
}

TEST_F(HidChannel, TraceGetsTheFrameAndNeverMoreThanTheReportHolds)
{
    auto reader = Plug(DeviceVendorId, KbRdProductId, 0x0B0A);
    QoHID hid(host, KbRdProductId);
    testing::RecordingTrace trace;
    hid.trace = &trace;
    ASSERT_TRUE(hid.Open());
    hid.ReadState();

    ASSERT_EQ(trace.bytes().size(), 2u);
    EXPECT_EQ(trace.bytes()[0].direction, 1);
    EXPECT_EQ(trace.bytes()[0].data, (Bytes{0x05, 0x00, 0x4D, 0xA1, 0xF4}));
    EXPECT_EQ(trace.bytes()[0].tag, 0u); // no identity yet
    EXPECT_EQ(trace.bytes()[1].direction, 0);
    EXPECT_EQ(trace.bytes()[1].data.size(), 13u);
    EXPECT_EQ(trace.bytes()[1].mark, 63);

    // A length field past the report: the sink gets no more than the buffer,
    // and nothing of the request that went out from the same buffer.
    reader->faults.rawReply = Bytes{0xFF, 0xFF, 0xCD};
    std::array<std::uint8_t, 8> reply{};
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.Exchange(75, Bytes(80, 0xC5), reply); }).code, 3);
    const auto& received = trace.bytes().back();
    EXPECT_EQ(received.direction, 0);
    EXPECT_EQ(received.tag, 0x0B0Au);
    EXPECT_LE(received.data.size(), 575u);
    EXPECT_EQ(std::count(received.data.begin(), received.data.end(), 0xC5), 0);
}

TEST_F(HidChannel, AReaderPluggedBackNeedsToBeOpenedAgain)
{
    auto reader = Plug(DeviceVendorId, KbRdProductId, 5);
    QoHID hid(host, KbRdProductId);
    ASSERT_TRUE(hid.Open());
    host.Detach(*reader);
    host.Attach(reader);
    EXPECT_EQ(ErrorOf<QoHIDErr>([&] { hid.ReadState(); }).code, 1);
    hid.Close();
    ASSERT_TRUE(hid.Open());
    EXPECT_NO_THROW(hid.ReadState());
}

TEST_F(HidChannel, CloseForgetsTheIdentity)
{
    Plug(DeviceVendorId, KbRdProductId, 5);
    QoHID hid(host, KbRdProductId);
    ASSERT_TRUE(hid.Open());
    hid.ReadState();
    hid.Close();
    EXPECT_FALSE(hid.IsOpen());
    EXPECT_EQ(hid.info, DevInfo{});
    EXPECT_EQ(hid.image, nullptr);
}

} // namespace
} // namespace qozel

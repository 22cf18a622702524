#include "support/DeviceErrorOf.h"
#include "link/DeviceErrors.h"
#include "link/QoWUsbBulkD.h"

#include "ScriptedModel.h"
#include "SimUsbHost.h"

#include <gtest/gtest.h>

namespace qozel {
namespace {

using testing::ErrorOf;

using sim::Bytes;

class BulkChannel : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.Attach(device);
        ASSERT_TRUE(bulk.Open());
    }

    // Runs `f`, expecting a WUsbErr; returns it.

    sim::VirtualClock clock;
    sim::SimUsbHost host{clock};
    std::shared_ptr<sim::ScriptedModel> model = std::make_shared<sim::ScriptedModel>(0x1247, 0x010E, 3, 0x0005);
    std::shared_ptr<sim::SimUsbDevice> device = std::make_shared<sim::SimUsbDevice>(kArkanGuid, model);
    QoWUsbBulkD bulk{host, clock, kArkanGuid};
};

TEST_F(BulkChannel, ReadStateStoresTheIdentityRecord)
{
    bulk.ReadState();
    EXPECT_EQ(bulk.info, (DevInfo{0x1247, 0x010E, 3, 0x0005}));
    EXPECT_EQ(device->pipeTimeouts.back(), 20u);
    EXPECT_EQ(device->written.front(), (Bytes{0x05, 0x00, 0x4D, 0xA1, 0xF4}));
}

TEST_F(BulkChannel, ReadStateOfTheWrongLengthKeepsTheOldRecord)
{
    bulk.ReadState();
    const DevInfo before = bulk.info;
    for (std::size_t length : {7u, 9u}) {
        model->replies[77] = Bytes(length, 0x11);
        const WUsbErr e = ErrorOf<WUsbErr>([&] { bulk.ReadState(); });
        EXPECT_EQ(e.code, 6) << length;
        EXPECT_EQ(e.cmd, 77) << length;
        EXPECT_EQ(bulk.info, before) << length;
    }
}

TEST_F(BulkChannel, ADeviceThatAnswersOnlyTheResendIsHeardOnTheResend)
{
    model->faults.answerOnlyResend = true;
    model->replies[98] = {0x00};
    std::array<std::uint8_t, 4> reply{};
    const Bytes request = {7, 8};
    EXPECT_EQ(bulk.Exchange(98, request, reply, 50), 1u);
    EXPECT_EQ(model->CountOf(98), 2u);
    EXPECT_EQ(device->written[0], device->written[1]);
}

TEST_F(BulkChannel, ASilentDeviceFailsAfterTwoRequestsAndAboutTwoTimeouts)
{
    model->faults.silent = true;
    const std::uint64_t start = clock.Microseconds();
    std::array<std::uint8_t, 4> reply{};
    const WUsbErr e = ErrorOf<WUsbErr>([&] { bulk.Exchange(69, {}, reply, 1000); });
    EXPECT_EQ(e.code, 3);
    EXPECT_EQ(e.cmd, 69);
    EXPECT_EQ(model->CountOf(69), 2u);
    const std::uint64_t elapsed = clock.Microseconds() - start;
    // The first write also drains with the command's time-out: three waits in all.
    EXPECT_GE(elapsed, 3'000'000u);
    EXPECT_LT(elapsed, 3'100'000u);
}

TEST_F(BulkChannel, RepliesAreAwaitedPastForeignAndLateFrames)
{
    bulk.ReadState(); // drained
    model->replies[11] = {0x2A};
    // A late reply to an earlier command and an unsolicited frame, both valid.
    device->QueueTransfer(sim::MakeFrame(0x8A, Bytes{1, 2, 3}));
    device->QueueTransfer(sim::MakeFrame(0x55, Bytes{4}));
    device->transport.strayFramesBeforeReply = 3;
    std::array<std::uint8_t, 1> reply{};
    EXPECT_EQ(bulk.Exchange(11, {}, reply, 50), 1u);
    EXPECT_EQ(reply[0], 0x2A);
    EXPECT_EQ(model->CountOf(11), 1u);
}

TEST_F(BulkChannel, InvalidTransfersAreDroppedAndTheNextOneTaken)
{
    bulk.ReadState();
    model->replies[11] = {0x2A, 0x2B};
    Bytes good = sim::MakeFrame(0x8B, Bytes{0x2A, 0x2B});
    Bytes flipped = good;
    flipped[3] ^= 0x10;
    Bytes lengthOff = good;
    lengthOff[0] += 1;
    device->QueueTransfer(Bytes{0x05, 0x00, 0x8B, 0x00, 0x00}); // header only
    device->QueueTransfer(flipped);
    device->QueueTransfer(lengthOff);
    std::array<std::uint8_t, 2> reply{};
    EXPECT_EQ(bulk.Exchange(11, {}, reply, 50), 2u);
    EXPECT_EQ(reply, (std::array<std::uint8_t, 2>{0x2A, 0x2B}));
}

TEST_F(BulkChannel, AReplyLaterThanTheTimeoutIsTakenAfterTheResend)
{
    bulk.ReadState();
    model->replies[115] = {1, 2, 3, 4};
    device->transport.replyDelayMs = 70; // after the first wait of 50 ms, before the second ends
    std::array<std::uint8_t, 4> reply{};
    EXPECT_EQ(bulk.Exchange(115, {}, reply, 50), 4u);
    EXPECT_EQ(model->CountOf(115), 2u);
}

TEST_F(BulkChannel, ABabblingDeviceEndsInAnErrorWithinABoundedTime)
{
    bulk.ReadState();
    device->transport.babble = true;
    const std::uint64_t start = clock.Microseconds();
    std::array<std::uint8_t, 4> reply{};
    const WUsbErr e = ErrorOf<WUsbErr>([&] { bulk.Exchange(82, {}, reply, 2000); });
    EXPECT_EQ(e.code, 3);
    EXPECT_EQ(e.cmd, 82);
    EXPECT_LT(clock.Microseconds() - start, 2 * 2'000'000u + 100'000u);
}

TEST_F(BulkChannel, StrayFramesWithinTheTimeoutDoNotHideTheReply)
{
    bulk.ReadState();
    model->replies[12] = {0x00};
    for (int i = 0; i < 30; ++i)
        device->QueueTransfer(sim::MakeFrame(0xE0, Bytes{static_cast<std::uint8_t>(i)}));
    std::array<std::uint8_t, 1> reply{};
    EXPECT_EQ(bulk.Exchange(12, {}, reply, 50), 1u);
    EXPECT_EQ(model->CountOf(12), 1u);
}

TEST_F(BulkChannel, OversizedRequestIsNotSent)
{
    bulk.ReadState();
    const std::size_t before = device->written.size();
    bulk.SendFrame(89, Bytes(1028, 0));
    EXPECT_EQ(device->written.size(), before);
    bulk.SendFrame(89, Bytes(1027, 0));
    EXPECT_EQ(device->written.back().size(), 1032u);
}

TEST_F(BulkChannel, ExchangeDataTellsDataFromRefusal)
{
    std::array<std::uint8_t, 80> reply;
    reply.fill(0xCC);

    model->replies[69] = {0x05};
    EXPECT_EQ(bulk.ExchangeData(69, {}, reply, 1000), 5);
    EXPECT_EQ(reply[0], 0xCC); // nothing arrived, nothing written

    // A lone zero byte is no data either.
    model->replies[69] = {0x00};
    EXPECT_EQ(bulk.ExchangeData(69, {}, reply, 1000), QoWUsbBulkD::kRefusedWithoutReason);
    EXPECT_EQ(reply[0], 0xCC);

    model->replies[69] = Bytes(79, 0x11);
    EXPECT_EQ(ErrorOf<WUsbErr>([&] { bulk.ExchangeData(69, {}, reply, 1000); }).code, 6);
    EXPECT_EQ(reply[0], 0xCC);

    model->replies[69] = Bytes(80, 0x22);
    EXPECT_EQ(bulk.ExchangeData(69, {}, reply, 1000), 0);
    EXPECT_EQ(reply[79], 0x22);

    std::array<std::uint8_t, 1> tiny{};
    const WUsbErr e = ErrorOf<WUsbErr>([&] { bulk.ExchangeData(69, {}, tiny, 1000); });
    EXPECT_EQ(e.code, 11);
    EXPECT_EQ(e.cmd, 69);
}

TEST_F(BulkChannel, ADataRequestPastAFramesPayloadFailsWithoutSending)
{
    model->replies[69] = Bytes(kMaxPayload, 0x33);
    Bytes largest(kMaxPayload);
    EXPECT_EQ(bulk.ExchangeData(69, {}, largest, 1000), 0);
    EXPECT_EQ(largest.back(), 0x33);

    const std::size_t sent = device->written.size();
    Bytes tooLong(kMaxPayload + 1);
    const WUsbErr e = ErrorOf<WUsbErr>([&] { bulk.ExchangeData(69, {}, tooLong, 1000); });
    EXPECT_EQ(e.code, WUsbErr::ReplyTooLong);
    EXPECT_EQ(e.cmd, 69);
    EXPECT_EQ(device->written.size(), sent);
}

TEST_F(BulkChannel, StatusRepliesAreCheckedForLengthAndValue)
{
    model->replies[108] = {0x01};
    EXPECT_EQ(bulk.ExchangeStatus(108, {}, 50), 1);
    WUsbErr e = ErrorOf<WUsbErr>([&] { bulk.ExchangeOk(108, {}, 50); });
    EXPECT_EQ(e.code, 4);
    EXPECT_EQ(e.cmd, 108);

    model->replies[108] = {0x00, 0x00};
    e = ErrorOf<WUsbErr>([&] { bulk.ExchangeOk(108, {}, 50); });
    EXPECT_EQ(e.code, 6);
    EXPECT_EQ(e.cmd, 108);
    EXPECT_EQ(ErrorOf<WUsbErr>([&] { bulk.ExchangeStatus(108, {}, 50); }).code, 6);

    model->replies[108] = {0x00};
    EXPECT_NO_THROW(bulk.ExchangeOk(108, {}, 50));
}

TEST_F(BulkChannel, ReplyLongerThanTheBufferReportsItsFullLength)
{
    model->replies[20] = Bytes{1, 2, 3, 4, 5, 6};
    std::array<std::uint8_t, 2> reply{};
    EXPECT_EQ(bulk.Exchange(20, {}, reply, 50), 6u);
    EXPECT_EQ(reply, (std::array<std::uint8_t, 2>{1, 2}));
}

TEST_F(BulkChannel, AnUnpluggedDeviceEndsTheExchangeWithAnError)
{
    bulk.ReadState();
    model->faults.disconnectAt = 77;
    EXPECT_EQ(ErrorOf<WUsbErr>([&] { bulk.ReadState(); }).code, 3);
    bulk.Close();
    EXPECT_FALSE(bulk.Open());
}

TEST_F(BulkChannel, ExchangeOnAClosedDeviceFailsBeforeSending)
{
    bulk.Close();
    std::array<std::uint8_t, 1> reply{};
    EXPECT_EQ(ErrorOf<WUsbErr>([&] { bulk.Exchange(77, {}, reply, 20); }).code, 1);
    EXPECT_TRUE(device->written.empty());
}

} // namespace
} // namespace qozel

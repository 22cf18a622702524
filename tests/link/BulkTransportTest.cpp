#include "link/DeviceErrors.h"
#include "link/QoWUsbBulkD.h"

#include "ScriptedModel.h"
#include "SimUsbHost.h"
#include "support/RecordingTrace.h"

#include <gtest/gtest.h>

namespace qozel {
namespace {

using sim::Bytes;
using sim::ScriptedModel;
using sim::SimUsbDevice;

class BulkTransport : public ::testing::Test {
protected:
    std::shared_ptr<SimUsbDevice> Plug(sim::UsbDescriptors descriptors = {}, const Guid& guid = kArkanGuid)
    {
        auto device = std::make_shared<SimUsbDevice>(guid, std::make_shared<ScriptedModel>(), std::move(descriptors));
        host.Attach(device);
        return device;
    }

    sim::VirtualClock clock;
    sim::SimUsbHost host{clock};
};

TEST_F(BulkTransport, OpenReadsIdentityPipesAndSetsTheInitialTimeout)
{
    sim::UsbDescriptors d;
    d.vendorId = 0x1209;
    d.productId = 0x0042;
    d.endpoints = {{UsbPipeType::Bulk, 0x02, 64}, {UsbPipeType::Bulk, 0x83, 64}};
    auto device = Plug(d);

    WUsbBulkD bulk(host, clock, kArkanGuid);
    ASSERT_TRUE(bulk.Open());
    EXPECT_TRUE(bulk.IsOpen());
    EXPECT_EQ(bulk.vendorId(), 0x1209);
    EXPECT_EQ(bulk.productId(), 0x0042);
    EXPECT_EQ(bulk.inPipe(), 0x83);
    EXPECT_EQ(bulk.outPipe(), 0x02);
    EXPECT_EQ(bulk.serial(), 0xA1u);
    EXPECT_EQ(bulk.timeout(), 50);
    EXPECT_EQ(device->pipeTimeouts, (std::vector<std::uint32_t>{50}));
}

TEST_F(BulkTransport, OpenFindsOnlyTheKindsOwnInterfaceClass)
{
    Plug({}, kManagerGuid);
    WUsbBulkD arkan(host, clock, kArkanGuid);
    EXPECT_FALSE(arkan.Open());
    WUsbBulkD manager(host, clock, kManagerGuid);
    EXPECT_TRUE(manager.Open());
}

TEST_F(BulkTransport, OpenFailsWhenTheListingFails)
{
    Plug();
    host.failListing = true;
    WUsbBulkD bulk(host, clock, kArkanGuid);
    EXPECT_FALSE(bulk.Open());
}

TEST_F(BulkTransport, SerialIsParsedLikeAnUnsignedHexConversion)
{
    EXPECT_EQ(ParseSerial(u"00A1"), 0xA1u);
    EXPECT_EQ(ParseSerial(u""), 0u);
    EXPECT_EQ(ParseSerial(u"  \t0x1f"), 0x1Fu);
    EXPECT_EQ(ParseSerial(u"12G4"), 0x12u);
    EXPECT_EQ(ParseSerial(u"xyz"), 0u);
    EXPECT_EQ(ParseSerial(u"0x"), 0u);
    EXPECT_EQ(ParseSerial(u"FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseSerial(u"123456789"), 0xFFFFFFFFu); // overflow
    EXPECT_EQ(ParseSerial(u"0000000000ABCDEF"), 0xABCDEFu);
}

TEST_F(BulkTransport, EmptySerialStringGivesZeroAndAMissingOneFailsTheDevice)
{
    sim::UsbDescriptors empty;
    empty.serial = u"";
    auto first = Plug(empty);
    WUsbBulkD bulk(host, clock, kArkanGuid);
    ASSERT_TRUE(bulk.Open());
    EXPECT_EQ(bulk.serial(), 0u);
    bulk.Close();

    host.Detach(*first);
    sim::UsbDescriptors broken;
    broken.failSerialDescriptor = true;
    Plug(broken);
    EXPECT_FALSE(bulk.Open());
}

TEST_F(BulkTransport, ASerialLengthBeyondTheBufferIsNotBelieved)
{
    sim::UsbDescriptors lying;
    lying.reportedSerialLength = 4096;
    Plug(lying);
    WUsbBulkD bulk(host, clock, kArkanGuid);
    ASSERT_TRUE(bulk.Open());
    EXPECT_EQ(bulk.serial(), 0xA1u);  // the text "00A1", then filler that is no digit
}

TEST_F(BulkTransport, DevicesWithoutExactlyOneBulkPipePerDirectionAreSkipped)
{
    sim::UsbDescriptors twoIn;
    twoIn.endpoints = {{UsbPipeType::Bulk, 0x81, 64}, {UsbPipeType::Bulk, 0x82, 64}, {UsbPipeType::Bulk, 0x01, 64}};
    sim::UsbDescriptors none;
    none.endpoints = {};
    sim::UsbDescriptors interruptIn;
    interruptIn.endpoints = {{UsbPipeType::Interrupt, 0x81, 64}, {UsbPipeType::Bulk, 0x01, 64}};
    sim::UsbDescriptors good;
    good.serial = u"BEEF";
    sim::UsbDescriptors withInterrupt; // an extra interrupt pipe does no harm
    withInterrupt.serial = u"CAFE";
    withInterrupt.endpoints = {{UsbPipeType::Interrupt, 0x83, 8}, {UsbPipeType::Bulk, 0x81, 64},
                               {UsbPipeType::Bulk, 0x01, 64}};
    Plug(twoIn);
    Plug(none);
    Plug(interruptIn);
    Plug(good);
    Plug(withInterrupt);

    WUsbBulkD first(host, clock, kArkanGuid);
    ASSERT_TRUE(first.Open());
    EXPECT_EQ(first.serial(), 0xBEEFu);
    WUsbBulkD second(host, clock, kArkanGuid);
    ASSERT_TRUE(second.Open());
    EXPECT_EQ(second.serial(), 0xCAFEu);
    WUsbBulkD third(host, clock, kArkanGuid);
    EXPECT_FALSE(third.Open());
}

TEST_F(BulkTransport, ASecondDeviceOfAKindIsOpenedOnlyByASecondObject)
{
    sim::UsbDescriptors a;
    a.serial = u"A";
    sim::UsbDescriptors b;
    b.serial = u"B";
    Plug(a);
    Plug(b);

    WUsbBulkD first(host, clock, kArkanGuid);
    ASSERT_TRUE(first.Open());
    EXPECT_EQ(first.serial(), 0xAu);
    const int opens = host.openCalls;
    EXPECT_TRUE(first.Open()); // already open: nothing asked of the platform
    EXPECT_EQ(host.openCalls, opens);

    WUsbBulkD second(host, clock, kArkanGuid);
    ASSERT_TRUE(second.Open());
    EXPECT_EQ(second.serial(), 0xBu);

    first.Close();
    WUsbBulkD third(host, clock, kArkanGuid);
    ASSERT_TRUE(third.Open());
    EXPECT_EQ(third.serial(), 0xAu);
}

TEST_F(BulkTransport, SetTimeoutAsksThePlatformOnlyOnAChange)
{
    auto device = Plug();
    WUsbBulkD bulk(host, clock, kArkanGuid);
    bulk.SetTimeout(20); // closed: nothing happens
    ASSERT_TRUE(bulk.Open());
    bulk.SetTimeout(50);
    bulk.SetTimeout(20);
    bulk.SetTimeout(20);
    EXPECT_EQ(device->pipeTimeouts, (std::vector<std::uint32_t>{50, 20}));

    device->transport.refusePipeTimeout = true;
    try {
        bulk.SetTimeout(2000);
        FAIL() << "expected WUsbErr";
    } catch (const WUsbErr& e) {
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(e.cmd, 0);
    }
    EXPECT_EQ(bulk.timeout(), 20);
}

TEST_F(BulkTransport, ARefusedInitialTimeoutLeavesTheDeviceFreeToOpenAgain)
{
    auto device = Plug();
    device->transport.refusePipeTimeout = true;
    WUsbBulkD bulk(host, clock, kArkanGuid);
    EXPECT_THROW(bulk.Open(), WUsbErr);
    EXPECT_FALSE(bulk.IsOpen());
    device->transport.refusePipeTimeout = false;
    EXPECT_TRUE(bulk.Open());
}

TEST_F(BulkTransport, ReopeningSetsTheInitialTimeoutAgain)
{
    auto device = Plug();
    WUsbBulkD bulk(host, clock, kArkanGuid);
    ASSERT_TRUE(bulk.Open());
    bulk.SetTimeout(2000);
    bulk.Close();
    ASSERT_TRUE(bulk.Open());
    EXPECT_EQ(device->pipeTimeouts, (std::vector<std::uint32_t>{50, 2000, 50}));
}

TEST_F(BulkTransport, ClosedDeviceRefusesReadAndWrite)
{
    WUsbBulkD bulk(host, clock, kArkanGuid);
    std::array<std::uint8_t, 8> buffer{};
    for (int i = 0; i < 2; ++i) {
        try {
            if (i == 0)
                bulk.Write(buffer);
            else
                bulk.Read(buffer);
            FAIL() << "expected WUsbErr";
        } catch (const WUsbErr& e) {
            EXPECT_EQ(e.code, 1);
            EXPECT_EQ(e.cmd, 0);
        }
    }
    bulk.Close(); // safe when closed
}

TEST_F(BulkTransport, FirstWriteAfterOpenDrainsStaleInputLaterWritesDoNot)
{
    auto device = Plug();
    WUsbBulkD bulk(host, clock, kArkanGuid);
    ASSERT_TRUE(bulk.Open());
    device->QueueTransfer({1, 2, 3});
    device->QueueTransfer({4, 5});

    const Bytes payload = {9, 9};
    ASSERT_TRUE(bulk.Write(payload));
    EXPECT_EQ(device->queuedTransfers(), 0u);

    device->QueueTransfer({6});
    ASSERT_TRUE(bulk.Write(payload));
    EXPECT_EQ(device->queuedTransfers(), 1u);

    // Reopening drains again.
    bulk.Close();
    ASSERT_TRUE(bulk.Open());
    ASSERT_TRUE(bulk.Write(payload));
    EXPECT_EQ(device->queuedTransfers(), 0u);
}

TEST_F(BulkTransport, DrainOfADeviceThatNeverStopsSendingEnds)
{
    auto device = Plug();
    device->transport.babble = true;
    WUsbBulkD bulk(host, clock, kArkanGuid);
    ASSERT_TRUE(bulk.Open());
    const std::uint64_t start = clock.Microseconds();
    const Bytes payload = {1};
    EXPECT_TRUE(bulk.Write(payload));
    EXPECT_EQ(device->written.size(), 1u);
    EXPECT_LE(clock.Microseconds() - start, WUsbBulkD::kDrainLimitUs + 100'000);
}

TEST_F(BulkTransport, EveryTransferIsTracedWithTheSerialAsTag)
{
    auto device = Plug();
    WUsbBulkD bulk(host, clock, kArkanGuid);
    testing::RecordingTrace trace;
    bulk.trace = &trace;
    ASSERT_TRUE(bulk.Open());

    const Bytes payload = {0x05, 0x00, 0x4D, 0xA1, 0xF4};
    ASSERT_TRUE(bulk.Write(payload)); // drain: one empty read first
    std::array<std::uint8_t, 64> buffer{};
    EXPECT_EQ(bulk.Read(buffer), 13u); // the state reply
    EXPECT_EQ(bulk.Read(buffer), 0u);  // time-out

    ASSERT_EQ(trace.bytes().size(), 4u);
    EXPECT_EQ(trace.bytes()[0].direction, 0);
    EXPECT_TRUE(trace.bytes()[0].data.empty());
    EXPECT_EQ(trace.bytes()[1].direction, 1);
    EXPECT_EQ(trace.bytes()[1].data, payload);
    EXPECT_EQ(trace.bytes()[2].direction, 0);
    EXPECT_EQ(trace.bytes()[2].data.size(), 13u);
    EXPECT_EQ(trace.bytes()[3].direction, 0);
    EXPECT_TRUE(trace.bytes()[3].data.empty());
    for (const auto& call : trace.bytes()) {
        EXPECT_EQ(call.tag, 0xA1u);
        EXPECT_EQ(call.mark, 63);
    }
    EXPECT_TRUE(trace.lines().empty());
}

TEST_F(BulkTransport, ShortAndFailedWritesReportFalse)
{
    auto device = Plug();
    WUsbBulkD bulk(host, clock, kArkanGuid);
    testing::RecordingTrace trace;
    bulk.trace = &trace;
    ASSERT_TRUE(bulk.Open());
    const Bytes payload = {1, 2, 3};

    device->transport.shortWrites = true;
    EXPECT_FALSE(bulk.Write(payload));
    EXPECT_EQ(trace.lines(), (std::vector<std::string>{"Nie wszystkie bajty zostały wysłane."}));

    host.Detach(*device);
    EXPECT_FALSE(bulk.Write(payload));
    EXPECT_EQ(trace.lines().size(), 1u);
    std::array<std::uint8_t, 8> buffer{};
    EXPECT_EQ(bulk.Read(buffer), 0u);
}

} // namespace
} // namespace qozel

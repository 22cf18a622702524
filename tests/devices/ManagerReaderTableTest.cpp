#include "ManagerFixture.h"

#include "SimFrame.h"

namespace qozel {
namespace {

using sim::Bytes;

constexpr std::array<std::uint8_t, 8> kUid = {0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};

class ReaderTable : public ManagerFixture {
protected:
    sim::SimReader& Add(std::uint16_t nr, std::uint16_t type = 70)
    {
        sim::SimReader& r = model->AddReader(nr, type);
        r.address = static_cast<std::uint8_t>(nr & 0x7F);
        return r;
    }
    sim::SimReader& Reader(std::size_t i) { return *model->bus[i]; }
};

TEST_F(ReaderTable, ListEntriesAreCopiedAndOnlyChangedRowsReported)
{
    sim::SimReader& a = Add(0x0A01, 72);
    a.address = 12;
    a.keyBits = 3;
    a.options = 0x18;
    a.config = {0x02, 0x20, 0x05};
    a.supplyU = 1234;
    a.supplyUpp = 121;
    a.supplyMaxUpp = 133;
    Add(0x0A02).address = 40;
    Add(0x0A03).baud100 = 192;  // on another rate: does not answer

    EXPECT_EQ(manager.RefreshReaders(), 0b111u);
    EXPECT_EQ(manager.readerCount, 3);
    const ReaderRecord& r = manager.readers[0];
    EXPECT_EQ(r.info, (DevInfo{0x0A01, 72, 2, 0x030C}));
    EXPECT_EQ(r.readerId(), 0x00480A01u);
    EXPECT_EQ(r.address(), 12);
    EXPECT_EQ(r.keyState(), 3);
    EXPECT_EQ(r.options, 0x18u);
    EXPECT_EQ(r.baud100, 96u);
    EXPECT_EQ(r.config0, 0x02);
    EXPECT_EQ(r.config1, 0x20);
    EXPECT_EQ(r.config2, 0x05);
    EXPECT_TRUE(r.online);
    EXPECT_EQ(r.supplyU, 1234);
    EXPECT_EQ(r.supplyUpp, 121);
    EXPECT_EQ(r.supplyMaxUpp, 133);
    EXPECT_FALSE(manager.readers[2].online);
    EXPECT_EQ(manager.readers[2].baud100, 192u);
    EXPECT_TRUE(manager.anyReaderOnline);
    EXPECT_EQ(manager.maxReaderAddress, 40);
    EXPECT_EQ(model->requests().back().code, 78);
    EXPECT_EQ(device->pipeTimeouts.back(), 50u);

    EXPECT_EQ(manager.RefreshReaders(), 0u);

    // Supply values alone never mark a row; they are taken all the same.
    a.supplyU = 1100;
    a.supplyUpp = 90;
    a.supplyMaxUpp = 140;
    EXPECT_EQ(manager.RefreshReaders(), 0u);
    EXPECT_EQ(manager.readers[0].supplyU, 1100);
    EXPECT_EQ(manager.readers[0].supplyUpp, 90);
    EXPECT_EQ(manager.readers[0].supplyMaxUpp, 140);

    Reader(1).config[2] = 1;
    Reader(2).baud100 = 96;  // comes online
    EXPECT_EQ(manager.RefreshReaders(), 0b110u);
    EXPECT_TRUE(manager.readers[2].online);

    Reader(0).connected = false;
    Reader(1).connected = false;
    Reader(2).connected = false;
    EXPECT_EQ(manager.RefreshReaders(), 0b111u);
    EXPECT_FALSE(manager.anyReaderOnline);
}

TEST_F(ReaderTable, EmptyBusListsNoReader)
{
    EXPECT_EQ(manager.RefreshReaders(), 0u);
    EXPECT_EQ(manager.readerCount, 0);
    EXPECT_FALSE(manager.anyReaderOnline);
    EXPECT_EQ(manager.maxReaderAddress, 0);
}

TEST_F(ReaderTable, ZeroIdEndsTheListAndMarksTheRowItReplaced)
{
    for (std::uint16_t nr = 1; nr <= 4; ++nr)
        Add(nr);
    manager.RefreshReaders();
    ASSERT_EQ(manager.readerCount, 4);

    model->listEndsAt = 2;
    // The row replaced by the zero entry and the row no longer reached.
    EXPECT_EQ(manager.RefreshReaders(), 0b1100u);
    EXPECT_EQ(manager.readerCount, 2);
    EXPECT_EQ(manager.readers[2].readerId(), 0u);
    EXPECT_EQ(manager.maxReaderAddress, 2);

    // The row now holds no reader: the same short list changes nothing more.
    EXPECT_EQ(manager.RefreshReaders(), 0u);
    model->listEndsAt.reset();
    EXPECT_EQ(manager.RefreshReaders(), 0b1100u);
    EXPECT_EQ(manager.readerCount, 4);
}

TEST_F(ReaderTable, NewKeySignatureMarksEveryListedRow)
{
    for (std::uint16_t nr = 1; nr <= 3; ++nr)
        Add(nr);
    manager.RefreshReaders();
    manager.SetKeySignature(0xCAFE);
    EXPECT_EQ(manager.RefreshReaders(), 0b111u);
    EXPECT_FALSE(manager.keySignatureChanged);
    EXPECT_EQ(manager.RefreshReaders(), 0u);

    for (std::uint16_t nr = 4; nr <= 32; ++nr)
        Add(nr);
    manager.RefreshReaders();
    manager.SetKeySignature(0xBEEF);
    EXPECT_EQ(manager.RefreshReaders(), 0xFFFFFFFFu);
    EXPECT_EQ(manager.readerCount, 32);
}

TEST_F(ReaderTable, NewKeySignatureKeepsReportingRowsThatLeftTheList)
{
    for (std::uint16_t nr = 1; nr <= 3; ++nr)
        Add(nr);
    manager.RefreshReaders();
    manager.SetKeySignature(0xCAFE);
    model->bus.pop_back();
    // The two listed rows for the signature, and the row whose reader went.
    EXPECT_EQ(manager.RefreshReaders(), 0b111u);
    EXPECT_EQ(manager.readerCount, 2);
}

TEST_F(ReaderTable, KeyStateFollowsTheSignatureGivenToTheManager)
{
    sim::SimReader& a = Add(1);
    a.keyBits = 3;
    a.keySignature = 0x1111;
    sim::SimReader& b = Add(2);
    b.keyBits = 3;
    b.keySignature = 0x2222;
    Add(3).keyBits = 1;

    manager.RefreshReaders();
    EXPECT_EQ(manager.FindReaderWithKeySignature(), -1);
    EXPECT_TRUE(manager.AnyReaderWithBackupKeys());

    manager.SetKeySignature(0x2222);
    manager.RefreshReaders();
    EXPECT_EQ(manager.readers[1].keyState(), 0x07);
    EXPECT_EQ(manager.FindReaderWithKeySignature(), 1);

    // Readers that do not answer on the bus count for neither.
    b.connected = false;
    a.connected = false;
    manager.RefreshReaders();
    EXPECT_EQ(manager.FindReaderWithKeySignature(), -1);
    EXPECT_FALSE(manager.AnyReaderWithBackupKeys());
}

TEST_F(ReaderTable, AddressInUseIgnoresTheReadersOwnRow)
{
    Add(1).address = 5;
    Add(2).address = 9;
    manager.RefreshReaders();
    EXPECT_FALSE(manager.AddressInUse(0, 5));
    EXPECT_TRUE(manager.AddressInUse(1, 5));
    EXPECT_FALSE(manager.AddressInUse(1, 6));
    // Only listed rows count.
    manager.readers[2].info.flags = 6;
    EXPECT_FALSE(manager.AddressInUse(0, 6));
}

TEST_F(ReaderTable, ResetAndCloseKeepWhatTheyShould)
{
    Add(1);
    Add(2);
    manager.RefreshReaders();
    manager.ReadState();
    manager.ImageVersion();
    manager.readerImage = manager.image;
    manager.blockCounter = 5;
    manager.SetKeySignature(0x77);

    manager.CloseManager();
    EXPECT_FALSE(manager.IsOpen());
    EXPECT_EQ(manager.info, DevInfo{});
    EXPECT_EQ(manager.image, nullptr);
    EXPECT_EQ(manager.readerImage, nullptr);
    EXPECT_EQ(manager.blockCounter, 0);
    EXPECT_EQ(manager.readerCount, 2);
    EXPECT_EQ(manager.readers[1].info.nr, 2);
    // A reopened Manager, this one or another, is sent the signature afresh.
    EXPECT_EQ(manager.sentKeySignature, 0u);
}

TEST_F(ReaderTable, ResetReaderListEmptiesTheListedRows)
{
    Add(1);
    Add(2);
    manager.RefreshReaders();
    manager.ResetReaderList();
    EXPECT_EQ(manager.readerCount, 0);
    EXPECT_FALSE(manager.anyReaderOnline);
    EXPECT_EQ(manager.readers[0].info, DevInfo{});
    EXPECT_EQ(manager.readers[1].info, DevInfo{});
    // The emptied rows report the readers again on the next refresh.
    EXPECT_EQ(manager.RefreshReaders(), 0b11u);
}

class ReaderEvents : public ReaderTable {
protected:
    void SetUp() override
    {
        ReaderTable::SetUp();
        Add(0x0201);
        Add(0x0202);
        manager.RefreshReaders();
    }
    ReaderEvent event;
};

TEST_F(ReaderEvents, EventOfAListedReaderNamesItsRow)
{
    ASSERT_TRUE(model->PresentCard(Reader(1), kUid));
    EXPECT_EQ(manager.NextEvent(event), 1);
    EXPECT_EQ(device->pipeTimeouts.back(), 5u);
    EXPECT_EQ(event.readerId, Reader(1).id());
    EXPECT_EQ(event.kind(), ReaderEvent::CardUid);
    ASSERT_EQ(event.length, 10u);
    EXPECT_TRUE(std::equal(kUid.begin(), kUid.end(), event.bytes.begin() + 2));
    EXPECT_EQ(manager.NextEvent(event), ZelManager::kNoEvent);
}

TEST_F(ReaderEvents, CardDataCarriesTheFieldsTheReaderIsSetToSend)
{
    Reader(0).keyBits = 3;
    Reader(0).config[2] = 0x06;  // department and index, no UID
    ASSERT_TRUE(model->PresentCard(Reader(0), kUid, std::pair{99999, -2}));
    ASSERT_EQ(manager.NextEvent(event), 0);
    EXPECT_EQ(event.kind(), ReaderEvent::CardData);
    EXPECT_EQ(std::vector<std::uint8_t>(event.data().begin(), event.data().end()),
              (Bytes{2, 0, 0x9F, 0x86, 0x01, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}));
    // Bytes beyond the event are zero, never left from an earlier one.
    EXPECT_TRUE(std::all_of(event.bytes.begin() + 10, event.bytes.end(), [](auto b) { return b == 0; }));
}

TEST_F(ReaderEvents, EventOfAnUnlistedReaderIsConsumedAsNone)
{
    sim::SimReader& late = Add(0x0203);  // on the bus, not yet in the table
    ASSERT_TRUE(model->TypePin(late, "1234"));
    ASSERT_TRUE(model->TypePin(Reader(0), "98"));
    EXPECT_EQ(manager.NextEvent(event), ZelManager::kNoEvent);
    EXPECT_EQ(event.readerId, late.id());
    EXPECT_EQ(manager.NextEvent(event), 0);
    EXPECT_EQ(event.kind(), ReaderEvent::Pin);
    EXPECT_EQ(event.length, 3u);
}

TEST_F(ReaderEvents, FramesTooShortForAnEventAreNone)
{
    device->QueueTransfer(sim::MakeFrame(101, Bytes{1, 2, 3}));
    EXPECT_EQ(manager.NextEvent(event), ZelManager::kNoEvent);
    // Only the id: an event without a kind, which nothing may read as card data.
    model->EmitEvent(Reader(0).id(), {});
    EXPECT_EQ(manager.NextEvent(event), 0);
    EXPECT_EQ(event.length, 0u);
    EXPECT_EQ(event.kind(), ReaderEvent::NoKind);
}

TEST_F(ReaderEvents, LongEventsKeepTheirFirst256Bytes)
{
    model->EmitEvent(Reader(0).id(), Bytes(300, 0x5A));
    EXPECT_EQ(manager.NextEvent(event), 0);
    EXPECT_EQ(event.length, 256u);
    EXPECT_EQ(event.bytes[255], 0x5A);
}

TEST_F(ReaderEvents, EventAheadOfARelayReplyIsDiscardedWithIt)
{
    device->QueueTransfer(sim::MakeFrame(101, Bytes{0x01, 0x02, 70, 0, 6, '1'}));
    manager.IdentifyReader(0);
    EXPECT_EQ(Reader(0).identifyCount, 1);
    EXPECT_EQ(manager.NextEvent(event), ZelManager::kNoEvent);
}

TEST_F(ReaderEvents, EventRaisedBeforeACommandLeavesAheadOfItsReply)
{
    // The card was read before the list was asked for: its frame comes first
    // and is dropped while the reply is awaited.
    ASSERT_TRUE(model->PresentCard(Reader(1), kUid));
    manager.RefreshReaders();
    EXPECT_EQ(manager.NextEvent(event), ZelManager::kNoEvent);
    // One raised after the reply is there for the next event read.
    ASSERT_TRUE(model->TypePin(Reader(0), "7"));
    EXPECT_EQ(manager.NextEvent(event), 0);
}

} // namespace
} // namespace qozel

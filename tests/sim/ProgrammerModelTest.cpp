#include "ProgrammerModel.h"
#include "SimCertificate.h"
#include "support/SimLogin.h"

#include <gtest/gtest.h>

#include <array>

namespace qozel::sim {
namespace {

constexpr std::array<std::uint8_t, 8> kUid = {0x04, 1, 2, 3, 4, 5, 6, 7};

std::array<std::uint8_t, 32> Master(std::uint8_t seed)
{
    std::array<std::uint8_t, 32> key{};
    key.fill(seed);
    return key;
}

Bytes WithUid(std::initializer_list<std::uint8_t> head, std::size_t dataSize = 0)
{
    Bytes b(head);
    b.insert(b.end(), kUid.begin(), kUid.end());
    b.resize(b.size() + dataSize, 0x5A);
    return b;
}

// A card programmed by a programmer holding keys of `master`.
SimCard ProgrammedCard(std::uint8_t master, bool temporary)
{
    ProgrammerModel programmer;
    programmer.PreloadKeys(Master(master), master, temporary);
    EXPECT_TRUE(test::LogInAdmin(programmer));
    programmer.PlaceCard(SimCard::Blank(kUid));
    EXPECT_EQ(programmer.Process(112, WithUid({1})), Bytes{0});
    EXPECT_EQ(programmer.Process(80, WithUid({1}, 16)), Bytes{0});
    return *programmer.card();
}

class ProgrammerModelTest : public ::testing::Test {
protected:
    ProgrammerModelTest()
    {
        EXPECT_TRUE(test::LogInAdmin(programmer));
        programmer.PreloadKeys(Master(1), 1, true);
    }
    ProgrammerModel programmer;
};

TEST_F(ProgrammerModelTest, ReadsOnlyCardsOfItsOwnKeys)
{
    programmer.PlaceCard(ProgrammedCard(1, true));
    const auto file = programmer.Process(114, Bytes{1});
    ASSERT_EQ(file->size(), 24u);
    EXPECT_EQ(Bytes(file->begin(), file->begin() + 8), Bytes(kUid.begin(), kUid.end()));
    programmer.PlaceCard(ProgrammedCard(2, true));
    EXPECT_EQ(programmer.Process(114, Bytes{1}), Bytes{ProgrammerModel::CardRefused});
    // Reading needs no login.
    programmer.login.Logout();
    programmer.PlaceCard(ProgrammedCard(1, true));
    EXPECT_EQ(programmer.Process(114, Bytes{1})->size(), 24u);
}

TEST_F(ProgrammerModelTest, TemporaryCardsYieldToAnyTemporaryKeysTargetCardsOnlyToTheirOwn)
{
    programmer.PlaceCard(ProgrammedCard(2, true));
    EXPECT_EQ(programmer.Process(67, WithUid({})), Bytes{0});
    EXPECT_EQ(programmer.card()->appState, 0);

    programmer.PlaceCard(ProgrammedCard(2, false));
    EXPECT_EQ(programmer.Process(67, WithUid({})), Bytes{ProgrammerModel::CardRefused});
    programmer.PreloadKeys(Master(2), 2, false);
    EXPECT_EQ(programmer.Process(67, WithUid({})), Bytes{0});
}

TEST_F(ProgrammerModelTest, CardCommandsNameTheCardInTheField)
{
    programmer.PlaceCard(SimCard::Blank(kUid));
    Bytes other = WithUid({1});
    other[8] ^= 0xFF;
    EXPECT_EQ(programmer.Process(112, other), Bytes{ProgrammerModel::CardChanged});
    EXPECT_EQ(programmer.Process(112, WithUid({3})), Bytes{ProgrammerModel::BadRequest});
    // Data goes only to the file of the card's kind.
    EXPECT_EQ(programmer.Process(112, WithUid({1})), Bytes{0});
    EXPECT_EQ(programmer.Process(80, WithUid({7}, 112)), Bytes{ProgrammerModel::CardRefused});
    EXPECT_EQ(programmer.Process(80, WithUid({1}, 15)), Bytes{ProgrammerModel::CardRefused});
    EXPECT_EQ(programmer.Process(80, WithUid({1}, 16)), Bytes{0});
    programmer.TakeCard();
    EXPECT_EQ(programmer.Process(82, {}), Bytes{ProgrammerModel::NoCard});
    EXPECT_EQ(programmer.Process(67, WithUid({})), Bytes{ProgrammerModel::NoCard});
}

TEST_F(ProgrammerModelTest, QueryReportsTypeAndApplicationState)
{
    SimCard card = SimCard::Blank(kUid);
    card.type = 5;
    card.appState = 2;
    programmer.PlaceCard(card);
    const auto reply = programmer.Process(82, {});
    ASSERT_EQ(reply->size(), 16u);
    EXPECT_EQ((*reply)[8], (5 << 2) | 2);
}

TEST_F(ProgrammerModelTest, TargetKeysAreNotReplacedByCertificates)
{
    programmer.PreloadKeys(Master(1), 1, false);
    CertificateContent c;
    c.number = 18;
    c.targetId = programmer.DeviceId();
    EXPECT_EQ(programmer.Process(75, SealCertificate(c, 80)), Bytes{ProgrammerModel::TargetKeysHeld});
}

TEST_F(ProgrammerModelTest, CertificateOfAnotherMasterKeyStartsANewSet)
{
    CertificateContent c;
    c.number = 19;
    c.targetId = programmer.DeviceId();
    c.keySignature = 77;
    c.temporary = true;
    EXPECT_EQ(programmer.Process(75, SealCertificate(c, 80)), Bytes{0});
    EXPECT_EQ(programmer.keyBits(), 0b010);
    EXPECT_EQ(programmer.Process(115, {}), Bytes{ProgrammerModel::NoKeys});
    c.number = 18;
    EXPECT_EQ(programmer.Process(75, SealCertificate(c, 80)), Bytes{0});
    c.number = 20;
    EXPECT_EQ(programmer.Process(75, SealCertificate(c, 80)), Bytes{0});
    EXPECT_EQ(programmer.Process(115, {}), (Bytes{77, 0, 0, 0}));
    // Class and number must be a programmer key's.
    c.certClass = 1;
    c.number = 21;
    EXPECT_EQ(programmer.Process(75, SealCertificate(c, 80)), Bytes{ProgrammerModel::BadCertificate});
}

TEST_F(ProgrammerModelTest, ResetCertificateOfAnotherProgrammerIsRefused)
{
    ProgrammerModel other(0x0999);
    const Bytes request{2, 63, static_cast<std::uint8_t>(programmer.DeviceId()),
                        static_cast<std::uint8_t>(programmer.DeviceId() >> 8),
                        static_cast<std::uint8_t>(programmer.DeviceId() >> 16),
                        static_cast<std::uint8_t>(programmer.DeviceId() >> 24)};
    const auto foreign = other.Process(107, request);
    EXPECT_EQ(programmer.Process(104, *foreign), Bytes{ProgrammerModel::BadCertificate});
    EXPECT_EQ(programmer.keyBits(), 7);
    const auto own = programmer.Process(107, request);
    EXPECT_EQ(programmer.Process(104, *own), Bytes{0});
    EXPECT_EQ(programmer.keyBits(), 0);
}

} // namespace
} // namespace qozel::sim

#include "DevSetFixture.h"

#include "devset/DevSetTexts.h"
#include "security/KeyGrain.h"

namespace qozel::test {
namespace {

namespace texts = devset_texts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SaveMasterKey : public DevSetTest {
protected:
    void SetUp() override
    {
        GiveAdminPassword(arkan->login, kPassword);
        arDevice = PlugArkan(arkan);
        ASSERT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Opened);
        for (int click = 0; click < 16; ++click) {
            clock.AdvanceUs(1234);
            grain.MixClick(10 + click, 20 + click);
        }
        ASSERT_TRUE(grain.GenerateKey(prompts));
        key.assign(grain.key().bytes.begin(), grain.key().bytes.end());
        sent.clear();
    }

    std::vector<std::uint8_t> StoredKey() const
    {
        return {arkan->masterKey()->key.begin(), arkan->masterKey()->key.end()};
    }

    KeyGrain grain{clock};
    std::vector<std::uint8_t> key;
};

TEST_F(SaveMasterKey, TemporaryKeyIsStoredWithoutWarning)
{
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.SaveMasterKey(grain, true, "ABC"));
    EXPECT_THAT(Messages(), ElementsAre(texts::kKeyStored));
    ASSERT_TRUE(arkan->masterKey());
    EXPECT_TRUE(arkan->masterKey()->temporary);
    EXPECT_EQ(StoredKey(), key);
    EXPECT_EQ(arkan->masterKey()->symbol, (std::array<std::uint8_t, 8>{'A', 'B', 'C', 0, 0, 0, 0, 0}));
    EXPECT_EQ(arkan->masterKey()->signature, grain.signature());
    EXPECT_EQ(set.ar.keySignature, grain.signature());
    EXPECT_FALSE(grain.generated());
}

TEST_F(SaveMasterKey, TargetKeyAfterTheWarningWithAnEightCharacterPolishSymbol)
{
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.SaveMasterKey(grain, false, "ŁÓDŹ-123"));
    EXPECT_THAT(Messages(), ElementsAre(texts::kTargetKeyWarning, texts::kKeyStored));
    EXPECT_EQ(prompts.shown[0].kind, Kind::Warning);
    ASSERT_TRUE(arkan->masterKey());
    EXPECT_FALSE(arkan->masterKey()->temporary);
    EXPECT_EQ(arkan->masterKey()->symbol, (std::array<std::uint8_t, 8>{0xA3, 0xD3, 'D', 0x8F, '-', '1', '2', '3'}));
    EXPECT_TRUE(set.ar.HasTargetKey());
}

TEST_F(SaveMasterKey, WarningClosedWithoutOkSendsNothing)
{
    prompts.CloseNextMessage();
    EXPECT_FALSE(set.SaveMasterKey(grain, false, "ABC"));
    EXPECT_THAT(Messages(), ElementsAre(texts::kTargetKeyWarning));
    EXPECT_EQ(prompts.shown.size(), 1u) << "no login dialog";
    EXPECT_EQ(arkan->CountOf(75), 0u);
    EXPECT_EQ(arkan->CountOf(110), 0u);
    EXPECT_FALSE(arkan->masterKey());
    EXPECT_TRUE(grain.generated());
}

TEST_F(SaveMasterKey, ArkanSwappedDuringTheWarningGetsNoKey)
{
    prompts.AnswerDialog(kPassword);
    auto other = std::make_shared<sim::ArkanModel>();
    prompts.whileShown = [&](const auto& shown) {
        if (shown.kind != Kind::Warning)
            return;
        usb.Detach(*arDevice);
        PlugArkan(other);
    };
    EXPECT_FALSE(set.SaveMasterKey(grain, false, "ABC"));
    EXPECT_THAT(Messages(), ElementsAre(texts::kTargetKeyWarning, texts::kArReplugged));
    EXPECT_FALSE(other->masterKey());
    EXPECT_FALSE(arkan->masterKey());
    EXPECT_TRUE(grain.generated());
}

TEST_F(SaveMasterKey, ChecksBeforeTheLogin)
{
    // Empty symbol: asked for, nothing else.
    EXPECT_FALSE(set.SaveMasterKey(grain, true, ""));
    EXPECT_THAT(Messages(), ElementsAre(texts::kFillSymbol));
    EXPECT_EQ(prompts.shown[0].kind, Kind::Info);

    // No generated key.
    grain.ForgetKey();
    EXPECT_FALSE(set.SaveMasterKey(grain, true, "ABC"));
    EXPECT_EQ(Messages().back(), texts::kKeyNotGenerated);
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_FALSE(Sent("Ar:110"));
}

TEST_F(SaveMasterKey, ArkanWithATargetKeyStopsBeforeSymbolAndLogin)
{
    arkan->PreloadMasterKey(MasterKey(false, 1));
    EXPECT_FALSE(set.SaveMasterKey(grain, true, ""));
    EXPECT_THAT(Messages(), ElementsAre(texts::kHasTargetKey));
    EXPECT_EQ(arkan->masterKey()->signature, 1u);
}

TEST_F(SaveMasterKey, TemporaryKeyIsReplaced)
{
    arkan->PreloadMasterKey(MasterKey(true, 1));
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.SaveMasterKey(grain, false, "XYZ"));
    EXPECT_EQ(StoredKey(), key);
}

TEST_F(SaveMasterKey, RefusedOrLostKeepsTheGeneratedKey)
{
    arkan->faults.refuseCommand = 75;
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.SaveMasterKey(grain, true, "ABC"));
    EXPECT_THAT(Messages(), ElementsAre(texts::kStoreKeyFailed));
    EXPECT_TRUE(grain.generated());

    arkan->faults.refuseCommand.reset();
    arkan->faults.disconnectAt = 75;
    EXPECT_FALSE(set.SaveMasterKey(grain, true, "ABC"));
    EXPECT_THAT(Messages(), ElementsAre(texts::kStoreKeyFailed, texts::kArNoConnection));
    EXPECT_FALSE(set.ar.IsOpen());
    EXPECT_TRUE(grain.generated());
    EXPECT_FALSE(arkan->masterKey());
}

TEST_F(SaveMasterKey, NoArkan)
{
    usb.Detach(*arDevice);
    EXPECT_FALSE(set.SaveMasterKey(grain, true, "ABC"));
    EXPECT_THAT(Messages(), ElementsAre(texts::kArNoConnection));
}

} // namespace
} // namespace qozel::test

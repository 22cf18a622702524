#include "DevSetFixture.h"

#include "devset/DevSetTexts.h"

namespace qozel::test {
namespace {

namespace texts = devset_texts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Checks : public DevSetTest {
protected:
    sim::ArkanModel::MasterKey Key(bool temporary, std::uint32_t signature)
    {
        sim::ArkanModel::MasterKey key;
        key.temporary = temporary;
        key.signature = signature;
        key.key.fill(0x5A);
        return key;
    }
    // Expects `check` to fail with `message` and nothing else shown.
    template <class F>
    void ExpectFails(F check, const char* message)
    {
        prompts.shown.clear();
        EXPECT_FALSE(check());
        EXPECT_THAT(Messages(), ElementsAre(message));
    }
    template <class F>
    void ExpectPasses(F check)
    {
        prompts.shown.clear();
        EXPECT_TRUE(check());
        EXPECT_THAT(Messages(), IsEmpty());
    }
};

TEST_F(Checks, AdminPasswordOfEachDevice)
{
    PlugBoth();
    ExpectFails([&] { return set.CheckArHasAdminPassword(); }, texts::kArNoAdminPassword);
    ExpectFails([&] { return set.CheckPrgrHasAdminPassword(); }, texts::kPrgrNoAdminPassword);
    GiveAdminPassword(arkan->login, "tajne123");
    GiveAdminPassword(programmer->login, "tajne123");
    ASSERT_TRUE(set.EnsurePresent(DevKind::Arkan) && set.EnsurePresent(DevKind::Programmer));
    ExpectPasses([&] { return set.CheckArHasAdminPassword(); });
    ExpectPasses([&] { return set.CheckPrgrHasAdminPassword(); });
}

TEST_F(Checks, ArkanKeyStates)
{
    PlugBoth();
    // No key.
    ExpectFails([&] { return set.CheckHasMasterKey(); }, texts::kNoMasterKey);
    ExpectFails([&] { return set.CheckHasTargetKey(); }, texts::kNoTargetKey);
    ExpectPasses([&] { return set.CheckNoTargetKey(); });

    // A temporary key: may be replaced, may not be backed up.
    arkan->PreloadMasterKey(Key(true, 1));
    ASSERT_TRUE(set.EnsurePresent(DevKind::Arkan));
    ExpectPasses([&] { return set.CheckHasMasterKey(); });
    ExpectFails([&] { return set.CheckHasTargetKey(); }, texts::kNoTargetKey);
    ExpectPasses([&] { return set.CheckNoTargetKey(); });

    arkan->PreloadMasterKey(Key(false, 1));
    ASSERT_TRUE(set.EnsurePresent(DevKind::Arkan));
    ExpectPasses([&] { return set.CheckHasMasterKey(); });
    ExpectPasses([&] { return set.CheckHasTargetKey(); });
    ExpectFails([&] { return set.CheckNoTargetKey(); }, texts::kHasTargetKey);
}

TEST_F(Checks, ProgrammerKeyStates)
{
    PlugBoth();
    ExpectFails([&] { return set.CheckPrgrHasKeys(); }, texts::kPrgrNoKeys);
    ExpectPasses([&] { return set.CheckPrgrNoTargetKeys(); });

    std::array<std::uint8_t, 32> master{};
    programmer->PreloadKeys(master, 9, true);
    ASSERT_TRUE(set.EnsurePresent(DevKind::Programmer));
    ExpectPasses([&] { return set.CheckPrgrHasKeys(); });
    ExpectPasses([&] { return set.CheckPrgrNoTargetKeys(); });

    programmer->PreloadKeys(master, 9, false);
    ASSERT_TRUE(set.EnsurePresent(DevKind::Programmer));
    ExpectPasses([&] { return set.CheckPrgrHasKeys(); });
    ExpectFails([&] { return set.CheckPrgrNoTargetKeys(); }, texts::kPrgrHasTargetKeys);
}

TEST_F(Checks, SignaturesMustBeEqualIncludingZero)
{
    PlugBoth();
    ExpectPasses([&] { return set.CheckSignaturesMatch(); });  // 0 and 0

    arkan->PreloadMasterKey(Key(false, 0x1234));
    ASSERT_TRUE(set.EnsurePresent(DevKind::Arkan));
    // The Arkan's signature is read at opening only.
    set.ar.Close();
    ASSERT_TRUE(set.EnsurePresent(DevKind::Arkan));
    ExpectFails([&] { return set.CheckSignaturesMatch(); }, texts::kSignaturesDiffer);

    std::array<std::uint8_t, 32> master{};
    programmer->PreloadKeys(master, 0x1234, false);
    set.prgr.Close();
    ASSERT_TRUE(set.EnsurePresent(DevKind::Programmer));
    ExpectPasses([&] { return set.CheckSignaturesMatch(); });

    programmer->PreloadKeys(master, 0x1235, false);
    set.prgr.Close();
    ASSERT_TRUE(set.EnsurePresent(DevKind::Programmer));
    ExpectFails([&] { return set.CheckSignaturesMatch(); }, texts::kSignaturesDiffer);
}

} // namespace
} // namespace qozel::test

#include "DevSetFixture.h"

#include "devset/DevSetTexts.h"

namespace qozel::test {
namespace {

namespace texts = devset_texts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using KeysToProgrammer = DevSetTest;

TEST_F(KeysToProgrammer, LoadsTheThreeCertificatesAndTheSignatureFollows)
{
    PlugInstalled(MasterKey(false, 0x5F00'0001));
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.LoadKeysToPrgr());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrKeysLoaded));
    EXPECT_EQ(programmer->keyBits(), 7);
    EXPECT_FALSE(programmer->keysTemporary());
    EXPECT_EQ(set.prgr.keySignature, 0x5F00'0001u);
    EXPECT_TRUE(set.prgr.HasTargetKeys());
    EXPECT_EQ(programmer->CountOf(75), 3u);
}

TEST_F(KeysToProgrammer, TemporaryKeysAreReplaced)
{
    programmer->PreloadKeys(std::array<std::uint8_t, 32>{}, 0x1111, true);
    PlugInstalled(MasterKey(true, 0x2222));
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.LoadKeysToPrgr());
    EXPECT_EQ(programmer->keySignature(), 0x2222u);
    EXPECT_EQ(set.prgr.keySignature, set.ar.keySignature);
}

TEST_F(KeysToProgrammer, TargetKeysStopBeforeAnyLoginOrArkanCommand)
{
    programmer->PreloadKeys(std::array<std::uint8_t, 32>{}, 0x1111, false);
    PlugInstalled(MasterKey(false, 0x2222));
    EXPECT_FALSE(set.LoadKeysToPrgr());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrHasTargetKeys));
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_THAT(arkan->requests(), IsEmpty());
}

TEST_F(KeysToProgrammer, ArkanWithoutMasterKeyStopsAfterTheLoginBeforeAnyRequest)
{
    GiveAdminPassword(arkan->login, kPassword);
    GiveAdminPassword(programmer->login, kPassword);
    PlugBoth();
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.LoadKeysToPrgr());
    EXPECT_THAT(Messages(), ElementsAre(texts::kNoMasterKey));
    EXPECT_EQ(prompts.shown.front().kind, Kind::LoginDlg);
    EXPECT_EQ(arkan->CountOf(107), 0u);
}

class ArkanRefusesCertificate : public DevSetTest, public ::testing::WithParamInterface<int> {};

TEST_P(ArkanRefusesCertificate, NothingReachesTheProgrammer)
{
    arkan->PreloadMasterKey(MasterKey(false, 7));
    GiveAdminPassword(arkan->login, kPassword);
    GiveAdminPassword(programmer->login, kPassword);
    arDevice = PlugArkan(std::make_shared<Intercept>(arkan, Intercept::RefuseNth(107, GetParam())));
    prDevice = PlugProgrammer(programmer);
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.LoadKeysToPrgr());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArRefusesPrgrCertificates));
    EXPECT_EQ(programmer->CountOf(75), 0u);
    EXPECT_EQ(arkan->CountOf(107), static_cast<std::size_t>(GetParam()));  // the refused one never reached it
    EXPECT_TRUE(set.ar.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(EachOfThree, ArkanRefusesCertificate, ::testing::Values(0, 1, 2));

class ProgrammerRefusesCertificate : public DevSetTest, public ::testing::WithParamInterface<int> {};

TEST_P(ProgrammerRefusesCertificate, StopsAtTheRefusalKeepingWhatWasLoaded)
{
    arkan->PreloadMasterKey(MasterKey(false, 7));
    GiveAdminPassword(arkan->login, kPassword);
    GiveAdminPassword(programmer->login, kPassword);
    arDevice = PlugArkan(arkan);
    prDevice = PlugProgrammer(std::make_shared<Intercept>(programmer, Intercept::RefuseNth(75, GetParam())));
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.LoadKeysToPrgr());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrRefusesCertificates));
    EXPECT_EQ(programmer->CountOf(75), static_cast<std::size_t>(GetParam()));
    EXPECT_EQ(programmer->keyBits(), (1 << GetParam()) - 1);
}

INSTANTIATE_TEST_SUITE_P(EachOfThree, ProgrammerRefusesCertificate, ::testing::Values(0, 1, 2));

TEST_F(KeysToProgrammer, DeviceErrorsDropTheDeviceThatFailed)
{
    PlugInstalled(MasterKey(false, 7));
    arkan->faults.disconnectAt = 107;
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.LoadKeysToPrgr());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArNoConnection));
    EXPECT_FALSE(set.ar.IsOpen());
    EXPECT_TRUE(set.prgr.IsOpen());

    prompts.shown.clear();
    arkan->faults.disconnectAt.reset();
    arkan->Replug();
    programmer->faults.disconnectAt = 75;
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.LoadKeysToPrgr());
    EXPECT_THAT(Messages(), ElementsAre(texts::kPrgrNoConnection));
    EXPECT_FALSE(set.prgr.IsOpen());
    EXPECT_EQ(set.prgr.keySignature, 0u);
}

class KeysToKbReader : public DevSetTest {
protected:
    void SetUp() override
    {
        arkan->PreloadMasterKey(MasterKey(true, 0x0ABC'DEF0));
        GiveAdminPassword(arkan->login, kPassword);
    }
    void PlugReader(std::shared_ptr<sim::SimDeviceModel> model)
    {
        PlugKbReader(std::move(model));
        ASSERT_TRUE(set.EnsurePresent(DevKind::KbReader));
    }
};

TEST_F(KeysToKbReader, LoadsBothCertificatesWithTheArkanLoginOnly)
{
    arDevice = PlugArkan(arkan);
    PlugReader(kbReader);
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.LoadKeysToKbRd());
    EXPECT_THAT(Messages(), ElementsAre(texts::kKbRdKeysLoaded));
    EXPECT_EQ(prompts.shown.front().text, texts::kArLoginLine);
    EXPECT_TRUE(kbReader->keysLoaded());
    EXPECT_EQ(set.kbRd.keySignature, 0x0ABC'DEF0u);
    EXPECT_EQ(set.kbRd.keySignature, set.ar.keySignature);
}

TEST_F(KeysToKbReader, ReplacesKeysWhateverTheReaderHeld)
{
    kbReader->PreloadKeys(0x1234, false);
    arDevice = PlugArkan(arkan);
    PlugReader(kbReader);
    prompts.AnswerDialog(kPassword);
    EXPECT_TRUE(set.LoadKeysToKbRd());
    EXPECT_EQ(kbReader->keySignature(), 0x0ABC'DEF0u);
}

TEST_F(KeysToKbReader, ReaderAbsentStopsBeforeTheLogin)
{
    arDevice = PlugArkan(arkan);
    EXPECT_FALSE(set.LoadKeysToKbRd());
    EXPECT_THAT(Messages(), ElementsAre(texts::kKbRdNoConnection));
    EXPECT_EQ(prompts.shown.size(), 1u);
}

class KbReaderCertificateRefused : public KeysToKbReader, public ::testing::WithParamInterface<int> {};

TEST_P(KbReaderCertificateRefused, ByTheArkan)
{
    arDevice = PlugArkan(std::make_shared<Intercept>(arkan, Intercept::RefuseNth(107, GetParam())));
    PlugReader(kbReader);
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.LoadKeysToKbRd());
    EXPECT_THAT(Messages(), ElementsAre(texts::kArRefusesKbRdCertificates));
    EXPECT_EQ(kbReader->CountOf(75), 0u);
}

TEST_P(KbReaderCertificateRefused, ByTheReader)
{
    arDevice = PlugArkan(arkan);
    PlugReader(std::make_shared<Intercept>(kbReader, Intercept::RefuseNth(75, GetParam())));
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.LoadKeysToKbRd());
    EXPECT_THAT(Messages(), ElementsAre(texts::kKbRdRefusesCertificates));
    EXPECT_EQ(kbReader->CountOf(75), static_cast<std::size_t>(GetParam()));
    EXPECT_FALSE(kbReader->keysLoaded());
}

INSTANTIATE_TEST_SUITE_P(EachOfTwo, KbReaderCertificateRefused, ::testing::Values(0, 1));

TEST_F(KeysToKbReader, ReaderLostWhileLoadingIsDropped)
{
    arDevice = PlugArkan(arkan);
    PlugReader(kbReader);
    kbReader->faults.disconnectAt = 75;
    prompts.AnswerDialog(kPassword);
    EXPECT_FALSE(set.LoadKeysToKbRd());
    EXPECT_THAT(Messages(), ElementsAre(texts::kKbRdNoConnection));
    EXPECT_FALSE(set.kbRd.IsOpen());
    EXPECT_EQ(set.kbRd.info, DevInfo{});
}

} // namespace
} // namespace qozel::test

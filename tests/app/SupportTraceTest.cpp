// The support trace of a scripted session: every transfer is written, and no
// byte of a password, key or certificate reaches the file.
#include "CycleFixture.h"

#include "security/SupportTrace.h"
#include "security/TraceSecrets.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace qozel::test {
namespace {

std::string Hex(std::span<const std::uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

// The trace starts before the poll cycle's devices are built and ends after
// them, as in the program; the file goes once it is closed.
struct TraceFirst {
    ~TraceFirst()
    {
        trace.reset();
        std::filesystem::remove(path);
    }

    std::string path = (std::filesystem::temp_directory_path() / "qozel-support-trace.jsonl").string();
    SystemClock wallClock;
    std::unique_ptr<SupportTrace> trace = SupportTrace::Start(path, wallClock);
};

class SupportTraceRun : public TraceFirst, public CycleTest {
protected:
    std::string FileText() const
    {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Any 16-byte window of a secret, as the trace would write it. Shorter
    // ones would match public fields that secrets carry too (a card's UID in
    // its certificate), and windows of few distinct bytes match padding.
    static bool Leaks(const std::string& file, std::span<const std::uint8_t> secret)
    {
        for (std::size_t i = 0; i + 16 <= secret.size(); ++i) {
            const auto window = secret.subspan(i, 16);
            if (std::set<std::uint8_t>(window.begin(), window.end()).size() >= 5 &&
                file.find(Hex(window)) != std::string::npos)
                return true;
        }
        return false;
    }
};

TEST_F(SupportTraceRun, WritesEveryTransferAndNoSecret)
{
    ASSERT_NE(trace, nullptr);
    GiveAdminPassword(install.arkan->login);
    GiveAdminPassword(install.programmer->login);
    Pass(3);
    for (int i = 0; i < 16; ++i)
        cycle.keyTab.KeyGrainMemoMouseDown(7 * i, 3 * i);
    cycle.keyTab.KeyGenKeyMiBtnClick();
    const std::string masterKey = cycle.keyTab.Fields().key;
    cycle.keyTab.Fields().target = true;
    cycle.keyTab.Fields().symbol = "FIRMA";
    prompts.AnswerDialog(kPassword);
    cycle.keyTab.ArkamKeyMIBtnClick();
    cycle.keyTab.KeyKeysToPrgrBtnClick();
    cycle.cardsTab.TagKeysToKbRdBtnClick();
    install.programmer->PlaceCard(sim::SimCard::Blank({4, 1, 2, 3, 4, 5, 6, 7}));
    cycle.keyTab.KeyGenKeyMiTagBtnClick();
    install.programmer->PlaceCard(sim::SimCard::Blank({4, 9, 8, 7, 6, 5, 4, 3}));
    cycle.cardsTab.TagProgrTagBtnClick();
    Pass(3);
    ASSERT_TRUE(install.arkan->masterKey().has_value());
    ASSERT_EQ(masterKey.size(), 64u);

    const std::string file = FileText();
    EXPECT_NE(file.find("\"command\":77"), std::string::npos);     // state queries, with their bytes
    EXPECT_NE(file.find("\"redacted\":true"), std::string::npos);
    std::string lowerKey = masterKey;
    for (char& c : lowerKey)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (std::size_t half : {0, 32})
        EXPECT_EQ(file.find(lowerKey.substr(half, 32)), std::string::npos);
    const Key16 password = DeriveKey(kAdminUser, sim::ScriptedPrompts::Field(kPassword));
    EXPECT_FALSE(Leaks(file, password.bytes));

    struct Device {
        const sim::SimDeviceModel& model;
        SecretFrameTest carriesSecret;
    };
    const Device devices[] = {{*install.arkan, ArkanFrameCarriesSecret},
                              {*install.programmer, ProgrammerFrameCarriesSecret},
                              {*install.kbReader, KbReaderFrameCarriesSecret}};
    int secretRequests = 0;
    for (const Device& device : devices)
        for (const sim::Request& request : device.model.requests()) {
            const std::uint8_t frame[] = {0, 0, request.code};
            if (!device.carriesSecret(std::span<const std::uint8_t>(frame)))
                continue;
            ++secretRequests;
            EXPECT_FALSE(Leaks(file, request.payload)) << int(request.code);
        }
    EXPECT_GT(secretRequests, 10);
}

} // namespace
} // namespace qozel::test

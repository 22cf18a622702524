// The read time-out each Arkan and programmer command waits for its reply,
// and the interface classes the bulk devices are found by.
#include "ArkanModel.h"
#include "ProgrammerModel.h"
#include "support/SimBulkBench.h"

#include "devices/arkan/ZelCfgAr.h"
#include "devices/programmer/ZelCfgPrgr.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace qozel {
namespace {

template <typename Device>
struct Case {
    const char* command;
    std::function<void(Device&)> run;
    std::int32_t timeoutMs;
};

// Runs each command after another time-out was set, so that every command
// must set its own; refusals and device errors do not matter here.
template <typename Device, typename Model>
void ExpectTimeouts(const Guid& interfaceClass, const std::vector<Case<Device>>& cases)
{
    test::SimBulkBench<Device, Model> bench{interfaceClass};
    ASSERT_TRUE(bench.opened);
    for (const Case<Device>& c : cases) {
        bench.device.SetTimeout(1);
        try {
            c.run(bench.device);
        } catch (...) {
        }
        EXPECT_EQ(bench.usb->pipeTimeouts.back(), static_cast<std::uint32_t>(c.timeoutMs)) << c.command;
    }
}

TEST(CommandTimeouts, Arkan)
{
    const ZelArkan::Certificate certificate{};
    ZelArkan::Certificate out{};
    ZelArkan::BackupCertificate backup{};
    const std::array<std::uint8_t, ZelArkan::kBackupCardDataSize> cardData{};
    const std::array<std::uint8_t, ZelArkan::kUidSize> uid{};
    const std::array<std::uint8_t, 32> key{};
    ExpectTimeouts<ZelCfgAr, sim::ArkanModel>(
        kArkanGuid,
        {{"ReadState", [](ZelCfgAr& d) { d.ReadState(); }, 20},
         {"Logout", [](ZelCfgAr& d) { d.Logout(); }, 50},
         {"ReadKeySignature", [](ZelCfgAr& d) { d.ReadKeySignature(); }, 50},
         {"StoreMasterKey",
          [&](ZelCfgAr& d) { d.StoreMasterKey(MasterKeyRecord::Make(false, std::span(uid).first(1), 1, key)); },
          1000},
         {"StoreBackupCertificate", [&](ZelCfgAr& d) { d.StoreBackupCertificate(cardData); }, 1000},
         {"IssueCertificate", [&](ZelCfgAr& d) { d.IssueCertificate(1, 18, 0x10001, out); }, 1000},
         {"IssueBackupCertificate", [&](ZelCfgAr& d) { d.IssueBackupCertificate(0x10001, uid, backup); }, 1000},
         {"SignCertificate", [&](ZelCfgAr& d) { d.SignCertificate(certificate, out); }, 1000},
         {"FactoryReset", [](ZelCfgAr& d) { d.FactoryReset(); }, 1000},
         {"ResetAdminPassword", [&](ZelCfgAr& d) { d.ResetAdminPassword(certificate, Key16{}); }, 1000}});
}

TEST(CommandTimeouts, Programmer)
{
    const QoG30::Certificate certificate{};
    QoG30::Certificate out{};
    std::array<std::uint8_t, 16> file{};
    ExpectTimeouts<ZelCfgPrgr, sim::ProgrammerModel>(
        kProgrammerGuid,
        {{"Logout", [](ZelCfgPrgr& d) { d.Logout(); }, 50},
         {"ReadKeySignature", [](ZelCfgPrgr& d) { d.ReadKeySignature(); }, 50},
         {"QueryCard", [](ZelCfgPrgr& d) { d.QueryCard(); }, 2000},
         {"PrepareCard", [](ZelCfgPrgr& d) { d.PrepareCard(QoG30::OrdinaryCard); }, 2000},
         {"WriteCardFile", [&](ZelCfgPrgr& d) { d.WriteCardFile(QoG30::kDataFile, file); }, 2000},
         {"ReadCardFile", [&](ZelCfgPrgr& d) { d.ReadCardFile(QoG30::kDataFile, file); }, 2000},
         {"EraseCard", [](ZelCfgPrgr& d) { d.EraseCard(); }, 1000},
         {"IssueResetCertificate", [&](ZelCfgPrgr& d) { d.IssueResetCertificate(0x10001, out); }, 1000},
         {"ResetWithCertificate", [&](ZelCfgPrgr& d) { d.ResetWithCertificate(certificate); }, 1000},
         {"LoadKeyCertificate", [&](ZelCfgPrgr& d) { d.LoadKeyCertificate(certificate); }, 1000}});
}

TEST(InterfaceClasses, AreTheDevicesOwn)
{
    EXPECT_EQ(kArkanGuid.ToString(), "{3D9A61C4-52E7-4F08-9B1D-7A2C5E34F810}");
    EXPECT_EQ(kProgrammerGuid.ToString(), "{A7E04B19-C3D2-4E5A-8F61-20B9D4C7E5A2}");
    EXPECT_EQ(kManagerGuid.ToString(), "{6F1B83D2-9A4C-47E3-B0D5-E8C2147A3B96}");
}

} // namespace
} // namespace qozel

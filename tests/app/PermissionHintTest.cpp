// The permission hint: shown while a device of the family is attached that
// this user may not open, gone when it opens or leaves.
#include "CycleFixture.h"

#include "app/PermissionHint.h"
#include "devices/DevInfo.h"

namespace qozel::test {
namespace {

using Device = sim::SimInstallation::Device;

class PermissionHint : public CycleTest {
protected:
    void Deny(Device device, bool denied)
    {
        if (device == Device::KbReader)
            install.kbReaderDevice->deniedToUser = denied;
        else
            (device == Device::Arkan ? install.arkanDevice : install.managerDevice)->deniedToUser = denied;
    }
};

TEST_F(PermissionHint, NamesTheDeniedDeviceUntilItOpensOrLeaves)
{
    struct Case {
        Device device;
        const char* named;
    };
    for (const Case c : {Case{Device::Arkan, "urządzenie USB 1209:0001"}, Case{Device::Manager, "urządzenie USB 1209:0004"},
                         Case{Device::KbReader, kKbReaderTitle}}) {
        install.Unplug(c.device);
        Pass(3);
        Deny(c.device, true);
        install.Plug(c.device);
        Pass(3);
        EXPECT_NE(view.permissionHint.find(c.named), std::string::npos) << view.permissionHint;
        EXPECT_NE(view.permissionHint.find(std::string(kUdevRulesName)), std::string::npos);
        EXPECT_TRUE(prompts.shown.empty());

        install.Unplug(c.device);
        Pass();
        EXPECT_EQ(view.permissionHint, "") << c.named;

        install.Plug(c.device);
        Pass();
        EXPECT_NE(view.permissionHint, "");
        Deny(c.device, false);
        Pass(3);
        EXPECT_EQ(view.permissionHint, "") << c.named;
    }
}

} // namespace
} // namespace qozel::test

#pragma once

#include "devset/ZelDevSet.h"
#include "link/QoHID.h"
#include "link/TraceSet.h"
#include "link/WUsbBulkD.h"
#include "security/PasswordKey.h"

#include "ArkanModel.h"
#include "KbReaderModel.h"
#include "ProgrammerModel.h"
#include "ScriptedPrompts.h"
#include "SimHidHost.h"
#include "SimUsbHost.h"
#include "VirtualClock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <vector>

namespace qozel::test {

using Kind = sim::ScriptedPrompts::Kind;

// Records the command code of every frame a device object sends, under the
// device's name, into one log shared by several devices.
class SentLog final : public TraceSet {
public:
    SentLog(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
    void TraceBytes(int direction, std::span<const std::uint8_t> bytes, std::uint32_t, int) override
    {
        if (direction == 1 && bytes.size() > 2)
            log_.push_back(name_ + ":" + std::to_string(bytes[2]));
    }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

// Stands in front of a device model: `before` sees every request first and
// may answer it itself; otherwise the model answers.
class Intercept final : public sim::SimDeviceModel {
public:
    using Hook = std::function<std::optional<sim::Bytes>(std::uint8_t code)>;
    Intercept(std::shared_ptr<sim::SimDeviceModel> inner, Hook before)
        : inner_(std::move(inner)), before_(std::move(before))
    {
    }

    // Refuses (status 1) the `n`-th (from 0) request with `code`.
    static Hook RefuseNth(std::uint8_t code, int n)
    {
        return [code, n, seen = 0](std::uint8_t c) mutable -> std::optional<sim::Bytes> {
            if (c == code && seen++ == n)
                return sim::Bytes{1};
            return std::nullopt;
        };
    }

protected:
    std::optional<sim::Bytes> HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload) override
    {
        if (auto reply = before_(code))
            return reply;
        return inner_->Process(code, payload);
    }

private:
    std::shared_ptr<sim::SimDeviceModel> inner_;
    Hook before_;
};

// A device set on simulated hosts with scripted prompts, and helpers to plug,
// unplug and replug the device models.
class DevSetTest : public ::testing::Test {
protected:
    DevSetTest()
    {
        set.ar.trace = &arLog;
        set.prgr.trace = &prLog;
    }

    std::shared_ptr<sim::SimUsbDevice> Plug(const Guid& kind, std::shared_ptr<sim::SimDeviceModel> model)
    {
        auto device = std::make_shared<sim::SimUsbDevice>(kind, std::move(model));
        usb.Attach(device);
        return device;
    }
    std::shared_ptr<sim::SimUsbDevice> PlugArkan(std::shared_ptr<sim::SimDeviceModel> model)
    {
        return Plug(kArkanGuid, std::move(model));
    }
    std::shared_ptr<sim::SimUsbDevice> PlugProgrammer(std::shared_ptr<sim::SimDeviceModel> model)
    {
        return Plug(kProgrammerGuid, std::move(model));
    }
    std::shared_ptr<sim::SimHidDevice> PlugKbReader(std::shared_ptr<sim::SimDeviceModel> model)
    {
        auto device = std::make_shared<sim::SimHidDevice>(std::move(model), HidAttributes{DeviceVendorId, KbRdProductId, 1});
        hid.Attach(device);
        return device;
    }
    // Unplugging and plugging back gives the device a new connection: the
    // handle the program held stays dead.
    std::shared_ptr<sim::SimUsbDevice> Replug(const std::shared_ptr<sim::SimUsbDevice>& device)
    {
        usb.Detach(*device);
        usb.Attach(device);
        return device;
    }

    // Plugs the usual pair and opens both.
    void PlugBoth()
    {
        arDevice = PlugArkan(arkan);
        prDevice = PlugProgrammer(programmer);
        ASSERT_EQ(set.PollPresence(DevKind::Arkan), ZelDevSet::Presence::Opened);
        ASSERT_EQ(set.PollPresence(DevKind::Programmer), ZelDevSet::Presence::Opened);
        arkan->ClearRequests();
        programmer->ClearRequests();
    }

    static constexpr const char* kPassword = "tajne123";

    static sim::ArkanModel::MasterKey MasterKey(bool temporary, std::uint32_t signature)
    {
        sim::ArkanModel::MasterKey key;
        key.temporary = temporary;
        key.signature = signature;
        key.key.fill(0x3C);
        return key;
    }
    // Both devices present with the common administrator password, the Arkan
    // holding `key`; not logged in (opening logs them out).
    void PlugInstalled(const sim::ArkanModel::MasterKey& key)
    {
        arkan->PreloadMasterKey(key);
        GiveAdminPassword(arkan->login, kPassword);
        GiveAdminPassword(programmer->login, kPassword);
        PlugBoth();
        sent.clear();
    }

    static void GiveAdminPassword(sim::LoginResponder& login, const std::string& password)
    {
        const Key16 key = DeriveKey(kAdminUser, sim::ScriptedPrompts::Field(password));
        sim::Block16 block;
        std::copy(key.bytes.begin(), key.bytes.end(), block.begin());
        login.SetKey(kAdminUser, block);
    }

    // The devices in the order they first received a login (command 76).
    std::vector<std::string> LoginOrder() const
    {
        std::vector<std::string> order;
        for (const std::string& entry : sent) {
            const std::string device = entry.substr(0, entry.find(':'));
            if (entry.ends_with(":76") && std::find(order.begin(), order.end(), device) == order.end())
                order.push_back(device);
        }
        return order;
    }
    bool Sent(const std::string& entry) const { return std::find(sent.begin(), sent.end(), entry) != sent.end(); }

    std::vector<std::string> Messages() const { return prompts.Messages(); }
    static std::vector<std::uint8_t> Codes(const sim::SimDeviceModel& model)
    {
        std::vector<std::uint8_t> codes;
        for (const auto& r : model.requests())
            codes.push_back(r.code);
        return codes;
    }

    sim::VirtualClock clock;
    sim::SimUsbHost usb{clock};
    sim::SimHidHost hid;
    sim::ScriptedPrompts prompts;
    std::shared_ptr<sim::ArkanModel> arkan = std::make_shared<sim::ArkanModel>();
    std::shared_ptr<sim::ProgrammerModel> programmer = std::make_shared<sim::ProgrammerModel>();
    std::shared_ptr<sim::KbReaderModel> kbReader = std::make_shared<sim::KbReaderModel>();
    std::shared_ptr<sim::SimUsbDevice> arDevice;
    std::shared_ptr<sim::SimUsbDevice> prDevice;
    std::vector<std::string> sent;
    SentLog arLog{sent, "Ar"};
    SentLog prLog{sent, "Prgr"};
    ZelDevSet set{usb, hid, clock, prompts};
};

} // namespace qozel::test

#pragma once

#include "platform/DeniedDevice.h"
#include "platform/win/UniqueHandle.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qozel {

// What the USB and the HID host share on Windows: opening the device paths of
// the family's vendor and of no other, refusing a path this process already
// holds, and noting the devices that Windows refuses to this user.
class FamilyDevicePaths {
public:
    // Keeps a path marked as held by this process while it lives.
    class Hold {
    public:
        Hold(std::shared_ptr<std::set<std::string>> held, std::string path);
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        ~Hold();

    private:
        std::shared_ptr<std::set<std::string>> held_;
        std::string path_;
    };

    explicit FamilyDevicePaths(std::uint16_t vendorId);

    // True when the path names a USB device of the family's vendor.
    bool IsFamily(const std::string& path) const;
    // CreateFileA for reading and writing. An invalid handle when the path is
    // not the family's, is held here, or Windows refuses it; ERROR_ACCESS_DENIED
    // notes the device as denied.
    UniqueHandle Open(const std::string& path, DWORD shareMode, DWORD flagsAndAttributes);
    std::unique_ptr<Hold> HoldPath(const std::string& path);
    // Drops the notes of devices that a listing of the paths for which
    // `listedScope` holds no longer shows.
    void ForgetAbsent(const std::vector<std::string>& listedPaths,
                      const std::function<bool(const std::string&)>& listedScope);
    std::vector<DeniedDevice> Denied() const;

private:
    std::uint16_t vendorId_;
    std::shared_ptr<std::set<std::string>> held_;
    std::map<std::string, DeniedDevice> denied_;   // by path
};

} // namespace qozel

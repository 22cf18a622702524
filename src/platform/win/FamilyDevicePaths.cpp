#include "platform/win/FamilyDevicePaths.h"

#include "platform/win/InterfacePath.h"

#include <algorithm>

namespace qozel {

FamilyDevicePaths::Hold::Hold(std::shared_ptr<std::set<std::string>> held, std::string path)
    : held_(std::move(held)), path_(std::move(path))
{
    held_->insert(path_);
}

FamilyDevicePaths::Hold::~Hold()
{
    held_->erase(path_);
}

FamilyDevicePaths::FamilyDevicePaths(std::uint16_t vendorId)
    : vendorId_(vendorId), held_(std::make_shared<std::set<std::string>>())
{
}

bool FamilyDevicePaths::IsFamily(const std::string& path) const
{
    const auto ids = UsbIdsOfInterfacePath(path);
    return ids && ids->vendorId == vendorId_;
}

UniqueHandle FamilyDevicePaths::Open(const std::string& path, DWORD shareMode, DWORD flagsAndAttributes)
{
    const auto ids = UsbIdsOfInterfacePath(path);
    if (!ids || ids->vendorId != vendorId_ || held_->contains(path))
        return UniqueHandle{};
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, shareMode, nullptr, OPEN_EXISTING,
                                  flagsAndAttributes, nullptr));
    if (!file) {
        if (GetLastError() == ERROR_ACCESS_DENIED)
            denied_[path] = DeniedDevice{path, ids->vendorId, ids->productId};
        return file;
    }
    denied_.erase(path);
    return file;
}

std::unique_ptr<FamilyDevicePaths::Hold> FamilyDevicePaths::HoldPath(const std::string& path)
{
    return std::make_unique<Hold>(held_, path);
}

void FamilyDevicePaths::ForgetAbsent(const std::vector<std::string>& listedPaths,
                                     const std::function<bool(const std::string&)>& listedScope)
{
    std::erase_if(denied_, [&](const auto& entry) {
        return listedScope(entry.first) &&
               std::find(listedPaths.begin(), listedPaths.end(), entry.first) == listedPaths.end();
    });
}

std::vector<DeniedDevice> FamilyDevicePaths::Denied() const
{
    std::vector<DeniedDevice> out;
    for (const auto& [path, device] : denied_)
        out.push_back(device);
    return out;
}

} // namespace qozel

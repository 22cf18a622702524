#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <stdexcept>

namespace qozel::test {

// While it exists, file permissions hold for the calling thread even when it
// runs as root: the capabilities that override them are taken out of the
// thread's effective set (and put back on destruction), so that a node with
// mode 000 is refused with EACCES as it would be for an ordinary user.
class PermissionChecks {
public:
    PermissionChecks()
    {
        if (syscall(SYS_capget, &header_, saved_) != 0)
            throw std::runtime_error("capget failed");
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        if (syscall(SYS_capset, &header_, reduced) != 0)
            throw std::runtime_error("capset failed");
    }
    ~PermissionChecks() { syscall(SYS_capset, &header_, saved_); }
    PermissionChecks(const PermissionChecks&) = delete;
    PermissionChecks& operator=(const PermissionChecks&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

} // namespace qozel::test

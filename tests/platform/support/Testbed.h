#pragma once

// umockdev's header comes first: it must precede anything that pulls in Qt.
#include <umockdev.h>

#include <string>

namespace qozel::test {

// A umockdev testbed for one test: while it exists, sysfs, /dev and udev
// events of this process are the emulated ones.
class Testbed {
public:
    Testbed();
    ~Testbed();
    Testbed(const Testbed&) = delete;
    Testbed& operator=(const Testbed&) = delete;

    UMockdevTestbed* get() const noexcept { return bed_; }
    // Where the emulated file system lives on the real one.
    std::string RootDir() const;

private:
    UMockdevTestbed* bed_;
};

} // namespace qozel::test

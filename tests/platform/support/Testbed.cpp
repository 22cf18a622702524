#include "Testbed.h"

#include <stdexcept>

namespace qozel::test {

Testbed::Testbed() : bed_(umockdev_testbed_new())
{
    if (!umockdev_in_mock_environment())
        throw std::runtime_error("umockdev's preload library is not active in this process");
}

Testbed::~Testbed()
{
    g_object_unref(bed_);
}

std::string Testbed::RootDir() const
{
    gchar* dir = umockdev_testbed_get_root_dir(bed_);
    std::string result(dir);
    g_free(dir);
    return result;
}

} // namespace qozel::test

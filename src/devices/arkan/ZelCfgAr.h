#pragma once

#include "devices/arkan/ZelArkan.h"

namespace qozel {

// The Arkan as the device set holds it; the presence and precondition checks
// live with the device set.
class ZelCfgAr : public ZelArkan {
public:
    using ZelArkan::ZelArkan;
};

} // namespace qozel

#pragma once

#include "devices/programmer/QoG30.h"

namespace qozel {

// The programmer as the device set holds it; the presence checks and the
// cards tab operations live with the device set.
class ZelCfgPrgr : public QoG30 {
public:
    using QoG30::QoG30;
};

} // namespace qozel

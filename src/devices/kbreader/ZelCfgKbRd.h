#pragma once

#include "devices/kbreader/QoK31.h"

namespace qozel {

// The main window's keyboard reader: a K31 found by the product id of the build.
class ZelCfgKbRd : public QoK31 {
public:
    explicit ZelCfgKbRd(HidHost& host) : QoK31(host, KbRdProductId) {}
};

} // namespace qozel

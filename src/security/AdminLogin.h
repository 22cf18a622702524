#pragma once

#include "security/DeviceLogin.h"

namespace qozel {

class ZelArkan;
class QoG30;

// The login operations on the two device classes, each reading the login
// reply as its device kind answers it.
bool ChallengeLogin(ZelArkan& device, std::string_view userName, const Key16& key);
bool ChallengeLogin(QoG30& device, std::string_view userName, const Key16& key);
bool AdminLogin(ZelArkan& device, const Key16& key, bool firstTime, Prompts& prompts);
bool AdminLogin(QoG30& device, const Key16& key, bool firstTime, Prompts& prompts);

} // namespace qozel

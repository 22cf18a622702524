#include "security/AdminLogin.h"

#include "devices/arkan/ZelArkan.h"
#include "devices/programmer/QoG30.h"

namespace qozel {

bool ChallengeLogin(ZelArkan& device, std::string_view userName, const Key16& key)
{
    return ChallengeLogin(device, LoginDevice::Arkan, userName, key);
}

bool ChallengeLogin(QoG30& device, std::string_view userName, const Key16& key)
{
    return ChallengeLogin(device, LoginDevice::Programmer, userName, key);
}

bool AdminLogin(ZelArkan& device, const Key16& key, bool firstTime, Prompts& prompts)
{
    return AdminLogin(device, LoginDevice::Arkan, key, firstTime, prompts);
}

bool AdminLogin(QoG30& device, const Key16& key, bool firstTime, Prompts& prompts)
{
    return AdminLogin(device, LoginDevice::Programmer, key, firstTime, prompts);
}

} // namespace qozel

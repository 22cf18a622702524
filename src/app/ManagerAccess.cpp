#include "app/ManagerAccess.h"

namespace qozel {

bool ManagerAccess::EnsureManager()
{
    runPass_();
    if (!manager_.IsOpen())
        runPass_();
    if (manager_.IsOpen())
        return true;
    prompts_.ShowErrorMsg(app_texts::kManagerNoConnection);
    return false;
}

bool ManagerAccess::CheckManagerContinuity()
{
    if (manager_.continuityFlag)
        return true;
    prompts_.ShowErrorMsg(app_texts::kManagerReplugged);
    return false;
}

} // namespace qozel

#include "devset/LoginPlan.h"

#include "devset/DevSetTexts.h"

#include <utility>

namespace qozel {

namespace {

using D = LoginDialog;

// Indexed by [Arkan state][programmer state].
constexpr LoginDialog kDialog[3][3] = {
    {D::None, D::Login, D::SetPassword},
    {D::Login, D::Login, D::Login},
    {D::SetPassword, D::Login, D::SetPassword},
};
constexpr bool kProgrammerFirst[3][3] = {
    {false, true, true},
    {false, false, false},
    {false, true, false},
};

constexpr std::string_view kArLines[3] = {"", devset_texts::kArLoginLine, devset_texts::kArCreateLine};
constexpr std::string_view kPrgrLines[3] = {"", devset_texts::kPrgrLoginLine, devset_texts::kPrgrCreateLine};

} // namespace

LoginPlan PlanLogin(LoginState arkan, LoginState programmer) noexcept
{
    const int a = static_cast<int>(arkan);
    const int b = static_cast<int>(programmer);
    LoginPlan plan;
    plan.dialog = kDialog[a][b];
    plan.programmerFirst = kProgrammerFirst[a][b];
    plan.line1 = kArLines[a];
    plan.line2 = kPrgrLines[b];
    if (plan.programmerFirst)
        std::swap(plan.line1, plan.line2);
    const bool firstPassword = arkan == LoginState::NoPassword || programmer == LoginState::NoPassword;
    plan.button = firstPassword ? devset_texts::kExecuteButton : devset_texts::kLogInButton;
    return plan;
}

} // namespace qozel

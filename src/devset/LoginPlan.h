#pragma once

#include <string_view>

namespace qozel {

// How a device stands for the administrator login.
enum class LoginState : int {
    Absent = 0,       // closed, or not taking part
    PasswordSet = 1,  // open, an administrator password is set
    NoPassword = 2,   // open, the factory key is still in force
};

enum class LoginDialog : int { None = -1, Login = 0, SetPassword = 1 };

// The dialog, its lines and button, and the login order for one pair of
// device states. A device with a password proves the typed password before a
// device without one receives it; between equals the Arkan comes first.
struct LoginPlan {
    LoginDialog dialog = LoginDialog::None;
    std::string_view line1;
    std::string_view line2;
    std::string_view button;  // login dialog only
    bool programmerFirst = false;
};

LoginPlan PlanLogin(LoginState arkan, LoginState programmer) noexcept;

} // namespace qozel

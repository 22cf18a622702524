#pragma once

#include "platform/SecureMemory.h"

#include <string_view>

namespace qozel {

// Everything the core shows to the user: three modal message boxes and four
// modal password dialogs. Texts are UTF-8 and may contain line breaks.
// The Qt application implements it with real windows; tests script it.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Each returns true only when the box was closed with its OK button.
    virtual bool ShowErrorMsg(std::string_view text) = 0;
    virtual bool ShowInfoMsg(std::string_view text) = 0;
    virtual bool ShowWarningMsg(std::string_view text) = 0;

    // Each returns true when the dialog was closed with OK; only then are the
    // password fields written.
    // The administrator's password, to log in.
    virtual bool AskLoginPassword(std::string_view line1, std::string_view line2,
                                  std::string_view buttonCaption, PasswordField& password) = 0;
    // A first administrator password, typed twice.
    virtual bool AskNewAdminPassword(std::string_view line1, std::string_view line2,
                                     PasswordField& password) = 0;
    // A new password of another user (programmer's user, Arkan's installer), typed twice.
    virtual bool AskNewPassword(std::string_view title, PasswordField& password) = 0;
    // The old administrator password and the new one, typed twice.
    virtual bool AskPasswordChange(PasswordField& oldPassword, PasswordField& newPassword) = 0;
};

} // namespace qozel

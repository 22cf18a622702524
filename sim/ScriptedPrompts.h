#pragma once

#include "platform/Prompts.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qozel::sim {

// A Prompts whose answers a test scripts in advance and which records every
// message box and dialog shown, in order.
class ScriptedPrompts final : public Prompts {
public:
    enum class Kind { Error, Info, Warning, LoginDlg, SetPass2Dlg, SetPass1Dlg, ChngPassDlg };

    struct Shown {
        Kind kind;
        std::string text;    // message text, or the dialog's first line / title
        std::string line2;   // second line of the login and set-password dialogs
        std::string button;  // caption of the login dialog's button
    };

    // What the next dialog does: OK with these passwords (raw Windows-1250
    // bytes, at most 20), or closed without OK.
    void AnswerDialog(std::string password) { dialogAnswers_.push_back({true, std::move(password), {}}); }
    void AnswerChngPass(std::string oldPassword, std::string newPassword)
    {
        dialogAnswers_.push_back({true, std::move(oldPassword), std::move(newPassword)});
    }
    void CancelDialog() { dialogAnswers_.push_back({false, {}, {}}); }
    // The next message box is closed without OK (they are confirmed by default).
    void CloseNextMessage() { messageAnswers_.push_back(false); }

    // Runs while each box or dialog is open, before it is answered: a test can
    // unplug or replace a device there.
    std::function<void(const Shown&)> whileShown;

    std::vector<Shown> shown;
    // Texts of the message boxes only, in order.
    std::vector<std::string> Messages() const;
    int unansweredDialogs = 0;  // dialogs shown with no scripted answer (closed without OK)

    bool ShowErrorMsg(std::string_view text) override { return Message(Kind::Error, text); }
    bool ShowInfoMsg(std::string_view text) override { return Message(Kind::Info, text); }
    bool ShowWarningMsg(std::string_view text) override { return Message(Kind::Warning, text); }
    bool AskLoginPassword(std::string_view line1, std::string_view line2, std::string_view button,
                          PasswordField& password) override;
    bool AskNewAdminPassword(std::string_view line1, std::string_view line2, PasswordField& password) override;
    bool AskNewPassword(std::string_view title, PasswordField& password) override;
    bool AskPasswordChange(PasswordField& oldPassword, PasswordField& newPassword) override;

    static PasswordField Field(const std::string& password);

private:
    struct DialogAnswer {
        bool ok;
        std::string first;
        std::string second;
    };

    bool Message(Kind kind, std::string_view text);
    bool Dialog(Shown shownEntry, PasswordField* first, PasswordField* second);

    std::deque<DialogAnswer> dialogAnswers_;
    std::deque<bool> messageAnswers_;
};

} // namespace qozel::sim

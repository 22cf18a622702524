#include "ScriptedPrompts.h"

#include <algorithm>

namespace qozel::sim {

PasswordField ScriptedPrompts::Field(const std::string& password)
{
    PasswordField field;
    std::copy_n(password.begin(), std::min(password.size(), field.size()), field.bytes.begin());
    return field;
}

std::vector<std::string> ScriptedPrompts::Messages() const
{
    std::vector<std::string> texts;
    for (const Shown& s : shown)
        if (s.kind == Kind::Error || s.kind == Kind::Info || s.kind == Kind::Warning)
            texts.push_back(s.text);
    return texts;
}

bool ScriptedPrompts::Message(Kind kind, std::string_view text)
{
    shown.push_back({kind, std::string(text), {}, {}});
    if (whileShown)
        whileShown(shown.back());
    if (messageAnswers_.empty())
        return true;
    const bool ok = messageAnswers_.front();
    messageAnswers_.pop_front();
    return ok;
}

bool ScriptedPrompts::Dialog(Shown entry, PasswordField* first, PasswordField* second)
{
    shown.push_back(std::move(entry));
    if (whileShown)
        whileShown(shown.back());
    if (dialogAnswers_.empty()) {
        ++unansweredDialogs;
        return false;
    }
    const DialogAnswer answer = dialogAnswers_.front();
    dialogAnswers_.pop_front();
    if (!answer.ok)
        return false;
    *first = Field(answer.first);
    if (second)
        *second = Field(answer.second);
    return true;
}

bool ScriptedPrompts::AskLoginPassword(std::string_view line1, std::string_view line2, std::string_view button,
                                       PasswordField& password)
{
    return Dialog({Kind::LoginDlg, std::string(line1), std::string(line2), std::string(button)}, &password, nullptr);
}

bool ScriptedPrompts::AskNewAdminPassword(std::string_view line1, std::string_view line2, PasswordField& password)
{
    return Dialog({Kind::SetPass2Dlg, std::string(line1), std::string(line2), {}}, &password, nullptr);
}

bool ScriptedPrompts::AskNewPassword(std::string_view title, PasswordField& password)
{
    return Dialog({Kind::SetPass1Dlg, std::string(title), {}, {}}, &password, nullptr);
}

bool ScriptedPrompts::AskPasswordChange(PasswordField& oldPassword, PasswordField& newPassword)
{
    return Dialog({Kind::ChngPassDlg, "Zmiana hasła Administratora", {}, {}}, &oldPassword, &newPassword);
}

} // namespace qozel::sim

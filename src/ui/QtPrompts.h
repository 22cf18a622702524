#pragma once

#include "platform/Prompts.h"

#include <QPointer>

class QWidget;

namespace qozel {

class WindowView;

class TLoginDlg;
class TSetPass2Dlg;
class TChngPassDlg;
class TSetPass1Dlg;

// The prompts of the application: real message boxes and the four password
// dialogs, all modal and centred on the main window. Each dialog is created
// at its first showing and reused for every later one. Before any of them
// opens, the window draws what the models changed, so that a box never
// stands over a state the models have already left.
class QtPrompts final : public Prompts {
public:
    // `mainWindow` may be null (the dialogs are then centred on the screen),
    // and so may `view` (nothing is drawn first).
    QtPrompts(QWidget* mainWindow, WindowView* view);
    ~QtPrompts() override;
    QtPrompts(const QtPrompts&) = delete;
    QtPrompts& operator=(const QtPrompts&) = delete;

    bool ShowErrorMsg(std::string_view text) override;
    bool ShowInfoMsg(std::string_view text) override;
    bool ShowWarningMsg(std::string_view text) override;

    bool AskLoginPassword(std::string_view line1, std::string_view line2,
                          std::string_view buttonCaption, PasswordField& password) override;
    bool AskNewAdminPassword(std::string_view line1, std::string_view line2,
                             PasswordField& password) override;
    bool AskNewPassword(std::string_view title, PasswordField& password) override;
    bool AskPasswordChange(PasswordField& oldPassword, PasswordField& newPassword) override;

private:
    void DrawWindow();

    QPointer<QWidget> mainWindow_;
    WindowView* view_;
    // Children of the main window when there is one, which may delete them
    // first; QPointer notices that.
    QPointer<TLoginDlg> loginDlg_;
    QPointer<TSetPass2Dlg> setPass2Dlg_;
    QPointer<TChngPassDlg> chngPassDlg_;
    QPointer<TSetPass1Dlg> setPass1Dlg_;
};

} // namespace qozel

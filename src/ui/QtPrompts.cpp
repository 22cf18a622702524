#include "ui/QtPrompts.h"

#include "app/WindowView.h"

#include "ui/MessageBoxes.h"
#include "ui/dialogs/TChngPassDlg.h"
#include "ui/dialogs/TLoginDlg.h"
#include "ui/dialogs/TSetPass1Dlg.h"
#include "ui/dialogs/TSetPass2Dlg.h"

namespace qozel {

namespace {

// The dialog in `slot`, made at its first showing: most runs never show it,
// and building it would delay the main window.
template <class Dialog>
Dialog& MadeOnFirstUse(QPointer<Dialog>& slot, QWidget* mainWindow)
{
    if (!slot)
        slot = new Dialog(mainWindow);
    return *slot;
}

} // namespace

QtPrompts::QtPrompts(QWidget* mainWindow, WindowView* view) : mainWindow_(mainWindow), view_(view) {}

QtPrompts::~QtPrompts()
{
    delete setPass1Dlg_.data();
    delete chngPassDlg_.data();
    delete setPass2Dlg_.data();
    delete loginDlg_.data();
}

void QtPrompts::DrawWindow()
{
    if (view_ != nullptr)
        view_->Redraw();
}

bool QtPrompts::ShowErrorMsg(std::string_view text)
{
    DrawWindow();
    return qozel::ShowErrorMsg(mainWindow_, text);
}

bool QtPrompts::ShowInfoMsg(std::string_view text)
{
    DrawWindow();
    return qozel::ShowInfoMsg(mainWindow_, text);
}

bool QtPrompts::ShowWarningMsg(std::string_view text)
{
    DrawWindow();
    return qozel::ShowWarningMsg(mainWindow_, text);
}

bool QtPrompts::AskLoginPassword(std::string_view line1, std::string_view line2,
                                 std::string_view buttonCaption, PasswordField& password)
{
    DrawWindow();
    return MadeOnFirstUse(loginDlg_, mainWindow_).Run(line1, line2, buttonCaption, password);
}

bool QtPrompts::AskNewAdminPassword(std::string_view line1, std::string_view line2,
                                    PasswordField& password)
{
    DrawWindow();
    return MadeOnFirstUse(setPass2Dlg_, mainWindow_).Run(line1, line2, password);
}

bool QtPrompts::AskNewPassword(std::string_view title, PasswordField& password)
{
    DrawWindow();
    return MadeOnFirstUse(setPass1Dlg_, mainWindow_).Run(title, password);
}

bool QtPrompts::AskPasswordChange(PasswordField& oldPassword, PasswordField& newPassword)
{
    DrawWindow();
    return MadeOnFirstUse(chngPassDlg_, mainWindow_).Run(oldPassword, newPassword);
}

} // namespace qozel

#include "ui/QtPrompts.h"

#include "ui/MessageBoxes.h"
#include "ui/dialogs/TChngPassDlg.h"
#include "ui/dialogs/TLoginDlg.h"
#include "ui/dialogs/TSetPass1Dlg.h"
#include "ui/dialogs/TSetPass2Dlg.h"

namespace qozel {

QtPrompts::QtPrompts(QWidget* mainWindow)
    : mainWindow_(mainWindow)
    , loginDlg_(new TLoginDlg(mainWindow))
    , setPass2Dlg_(new TSetPass2Dlg(mainWindow))
    , chngPassDlg_(new TChngPassDlg(mainWindow))
    , setPass1Dlg_(new TSetPass1Dlg(mainWindow))
{
}

QtPrompts::~QtPrompts()
{
    delete setPass1Dlg_.data();
    delete chngPassDlg_.data();
    delete setPass2Dlg_.data();
    delete loginDlg_.data();
}

bool QtPrompts::ShowErrorMsg(std::string_view text)
{
    return qozel::ShowErrorMsg(mainWindow_, text);
}

bool QtPrompts::ShowInfoMsg(std::string_view text)
{
    return qozel::ShowInfoMsg(mainWindow_, text);
}

bool QtPrompts::ShowWarningMsg(std::string_view text)
{
    return qozel::ShowWarningMsg(mainWindow_, text);
}

bool QtPrompts::RunLoginDlg(std::string_view line1, std::string_view line2,
                            std::string_view buttonCaption, PasswordField& password)
{
    return loginDlg_->Run(line1, line2, buttonCaption, password);
}

bool QtPrompts::RunSetPass2Dlg(std::string_view line1, std::string_view line2,
                               PasswordField& password)
{
    return setPass2Dlg_->Run(line1, line2, password);
}

bool QtPrompts::RunSetPass1Dlg(std::string_view title, PasswordField& password)
{
    return setPass1Dlg_->Run(title, password);
}

bool QtPrompts::RunChngPassDlg(PasswordField& oldPassword, PasswordField& newPassword)
{
    return chngPassDlg_->Run(oldPassword, newPassword);
}

} // namespace qozel

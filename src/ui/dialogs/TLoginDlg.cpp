#include "ui/dialogs/TLoginDlg.h"

#include "ui/widgets/Utf8.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qozel {

TLoginDlg::TLoginDlg(QWidget* parent)
    : PasswordDialog(parent, "LoginDlg", 10)
    , info1Lbl_(MakeInfoLabel("Info1Lbl", 369, true))
    , info2Lbl_(MakeInfoLabel("Info2Lbl", 369, true))
    , passEdit_(MakePasswordEdit("PassEdit"))
    , loginBtn_(MakeOkButton("LoginBtn", QStringLiteral("Wykonaj"), 89))
{
    QVBoxLayout* column = MakeColumn();
    AddAdminPrompt(*column, info1Lbl_, info2Lbl_);
    column->addLayout(MakeFieldGrid({{MakeLabel("Label1", QStringLiteral("Hasło:")), passEdit_}}));
    FinishWithButton(column, 16, loginBtn_, QSize(401, 220));

    setTabOrder(passEdit_, loginBtn_);
}

bool TLoginDlg::Run(std::string_view line1, std::string_view line2, std::string_view buttonCaption,
                    PasswordField& password)
{
    info1Lbl_->setText(FromUtf8(line1));
    info2Lbl_->setText(FromUtf8(line2));
    loginBtn_->setText(FromUtf8(buttonCaption));
    const bool ok = ShowModal();
    if (ok)
        ReadPassword(*passEdit_, password);
    EmptyPassword(*passEdit_);
    return ok;
}

} // namespace qozel

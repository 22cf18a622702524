#include "ui/dialogs/NewPasswordDialog.h"

#include "security/PasswordKey.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qozel {

void NewPasswordDialog::MakeFields(const QString& buttonCaption)
{
    pass1Edit_ = MakePasswordEdit("Pass1Edit");
    pass2Edit_ = MakePasswordEdit("Pass2Edit");
    setPassBtn_ = MakeOkButton("SetPassBtn", buttonCaption, 89);
    setPassBtn_->setEnabled(false);
    connect(pass1Edit_, &QLineEdit::textChanged, this, &NewPasswordDialog::Pass1EditChange);
    connect(pass2Edit_, &QLineEdit::textChanged, this, &NewPasswordDialog::Pass1EditChange);
}

void NewPasswordDialog::FinishFields(QVBoxLayout* column, QSize designSize)
{
    column->addLayout(MakeFieldGrid({
        {MakeLabel("Label1", QStringLiteral("Hasło:")), pass1Edit_, MakeLabel("Label2", QStringLiteral("(8..20 znaków)"))},
        {MakeLabel("RepLbl", QStringLiteral("Powtórz:")), pass2Edit_},
    }));
    FinishWithButton(column, 20, setPassBtn_, designSize);
}

void NewPasswordDialog::Pass1EditChange()
{
    setPassBtn_->setEnabled(IsNewPasswordConfirmed(SecretText(*pass1Edit_).View(), SecretText(*pass2Edit_).View()));
}

bool NewPasswordDialog::RunForNewPassword(PasswordField& field)
{
    const bool ok = ShowModal();
    if (ok)
        ReadPassword(*pass1Edit_, field);
    EmptyPassword(*pass1Edit_);
    EmptyPassword(*pass2Edit_);
    return ok;
}

} // namespace qozel

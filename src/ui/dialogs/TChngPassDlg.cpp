#include "ui/dialogs/TChngPassDlg.h"

#include "security/PasswordKey.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qozel {

TChngPassDlg::TChngPassDlg(QWidget* parent)
    : PasswordDialog(parent, "ChngPassDlg", 10)
    , descrLbl_(MakeInfoLabel("DescrLbl", 249, false))
    , oldPassEdit_(MakePasswordEdit("OldPassEdit"))
    , newPass1Edit_(MakePasswordEdit("NewPass1Edit"))
    , newPass2Edit_(MakePasswordEdit("NewPass2Edit"))
    , chngPassBtn_(MakeOkButton("ChngPassBtn", QStringLiteral("Zmień hasło"), 113))
{
    QVBoxLayout* column = MakeColumn();
    column->addWidget(descrLbl_);
    column->addSpacing(16);
    column->addLayout(MakeFieldGrid({
        {MakeLabel("Label1", QStringLiteral("Stare Hasło:")), oldPassEdit_},
        {MakeLabel("RepLbl", QStringLiteral("Nowe Hasło:")), newPass1Edit_,
         MakeLabel("Label3", QStringLiteral("(8..20 znaków)")), 4},
        {MakeLabel("Label2", QStringLiteral("Powtórz:")), newPass2Edit_},
    }));
    FinishWithButton(column, 20, chngPassBtn_, QSize(330, 242));

    // The button comes first in the tab order; while it is disabled the
    // focus starts in the old password.
    setTabOrder(chngPassBtn_, oldPassEdit_);
    setTabOrder(oldPassEdit_, newPass1Edit_);
    setTabOrder(newPass1Edit_, newPass2Edit_);
    chngPassBtn_->setEnabled(false);
    for (QLineEdit* edit : {oldPassEdit_, newPass1Edit_, newPass2Edit_})
        connect(edit, &QLineEdit::textChanged, this, &TChngPassDlg::OldPassEditChange);
}

void TChngPassDlg::OldPassEditChange()
{
    chngPassBtn_->setEnabled(IsPasswordChangeConfirmed(SecretText(*oldPassEdit_).View(),
                                                       SecretText(*newPass1Edit_).View(),
                                                       SecretText(*newPass2Edit_).View()));
}

bool TChngPassDlg::Run(PasswordField& oldPassword, PasswordField& newPassword)
{
    descrLbl_->setText(QStringLiteral("Zmiana hasła Administratora"));
    const bool ok = ShowModal();
    if (ok) {
        ReadPassword(*oldPassEdit_, oldPassword);
        ReadPassword(*newPass1Edit_, newPassword);
    }
    for (QLineEdit* edit : {oldPassEdit_, newPass1Edit_, newPass2Edit_})
        EmptyPassword(*edit);
    return ok;
}

} // namespace qozel

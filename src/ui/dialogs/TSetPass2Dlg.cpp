#include "ui/dialogs/TSetPass2Dlg.h"

#include "ui/widgets/Utf8.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qozel {

TSetPass2Dlg::TSetPass2Dlg(QWidget* parent)
    : NewPasswordDialog(parent, "SetPass2Dlg", 10)
    , info1Lbl_(MakeInfoLabel("Info1Lbl", 369, true))
    , info2Lbl_(MakeInfoLabel("Info2Lbl", 369, true))
{
    MakeFields(QStringLiteral("Wykonaj"));
    QVBoxLayout* column = MakeColumn();
    AddAdminPrompt(*column, info1Lbl_, info2Lbl_);
    FinishFields(column, QSize(401, 254));

    setTabOrder(pass1Edit_, pass2Edit_);
    setTabOrder(pass2Edit_, setPassBtn_);
}

bool TSetPass2Dlg::Run(std::string_view line1, std::string_view line2, PasswordField& password)
{
    info1Lbl_->setText(FromUtf8(line1));
    info2Lbl_->setText(FromUtf8(line2));
    return RunForNewPassword(password);
}

} // namespace qozel

#include "ui/dialogs/TSetPass1Dlg.h"

#include "ui/widgets/Utf8.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qozel {

TSetPass1Dlg::TSetPass1Dlg(QWidget* parent)
    : NewPasswordDialog(parent, "SetPass1Dlg", 8)
    , infoLbl_(MakeInfoLabel("InfoLbl", 249, true))
{
    MakeFields(QStringLiteral("Ustaw hasło"));
    QVBoxLayout* column = MakeColumn();
    column->addWidget(infoLbl_);
    column->addSpacing(12);
    FinishFields(column, QSize(317, 184));

    // The button comes first in the tab order; while it is disabled the
    // focus starts in the first edit.
    setTabOrder(setPassBtn_, pass1Edit_);
    setTabOrder(pass1Edit_, pass2Edit_);
}

bool TSetPass1Dlg::Run(std::string_view title, PasswordField& password)
{
    infoLbl_->setText(FromUtf8(title));
    return RunForNewPassword(password);
}

} // namespace qozel

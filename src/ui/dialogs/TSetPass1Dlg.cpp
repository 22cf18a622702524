#include "ui/dialogs/TSetPass1Dlg.h"

#include "ui/Utf8.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qozel {

TSetPass1Dlg::TSetPass1Dlg(QWidget* parent)
    : PasswordDialog(parent, "SetPass1Dlg", 8)
    , infoLbl_(MakeInfoLabel("InfoLbl", 249, true))
    , pass1Edit_(MakePasswordEdit("Pass1Edit"))
    , pass2Edit_(MakePasswordEdit("Pass2Edit"))
    , setPassBtn_(MakeOkButton("SetPassBtn", QStringLiteral("Ustaw hasło"), 89))
{
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(16, 20, 16, 16);
    layout->setSpacing(8);
    layout->addWidget(infoLbl_);
    layout->addSpacing(12);
    layout->addLayout(MakeNewPasswordGrid(pass1Edit_, pass2Edit_));
    layout->addSpacing(20);
    layout->addLayout(MakeButtonRow(setPassBtn_));
    layout->addStretch();
    FinishLayout(layout, QSize(317, 184));

    // The button comes first in the tab order; while it is disabled the
    // focus starts in the first edit.
    setTabOrder(setPassBtn_, pass1Edit_);
    setTabOrder(pass1Edit_, pass2Edit_);
    setPassBtn_->setEnabled(false);
    connect(pass1Edit_, &QLineEdit::textChanged, this, &TSetPass1Dlg::Pass1EditChange);
    connect(pass2Edit_, &QLineEdit::textChanged, this, &TSetPass1Dlg::Pass1EditChange);
}

void TSetPass1Dlg::Pass1EditChange()
{
    setPassBtn_->setEnabled(IsNewPasswordConfirmed(*pass1Edit_, *pass2Edit_));
}

bool TSetPass1Dlg::Run(std::string_view title, PasswordField& password)
{
    infoLbl_->setText(FromUtf8(title));
    return RunForNewPassword(*pass1Edit_, *pass2Edit_, password);
}

} // namespace qozel

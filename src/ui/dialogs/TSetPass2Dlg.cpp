#include "ui/dialogs/TSetPass2Dlg.h"

#include "ui/Utf8.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qozel {

TSetPass2Dlg::TSetPass2Dlg(QWidget* parent)
    : PasswordDialog(parent, "SetPass2Dlg", 10)
    , info1Lbl_(MakeInfoLabel("Info1Lbl", 369, true))
    , info2Lbl_(MakeInfoLabel("Info2Lbl", 369, true))
    , pass1Edit_(MakePasswordEdit("Pass1Edit"))
    , pass2Edit_(MakePasswordEdit("Pass2Edit"))
    , setPassBtn_(MakeOkButton("SetPassBtn", QStringLiteral("Wykonaj"), 89))
{
    QLabel* prompt = MakeLabel("Label3", QStringLiteral("Podaj hasło administratora "));
    prompt->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(16, 20, 16, 16);
    layout->setSpacing(8);
    layout->addWidget(info1Lbl_);
    layout->addWidget(info2Lbl_);
    layout->addSpacing(24);
    layout->addWidget(prompt);
    layout->addSpacing(10);
    layout->addLayout(MakeNewPasswordGrid(pass1Edit_, pass2Edit_));
    layout->addSpacing(20);
    layout->addLayout(MakeButtonRow(setPassBtn_));
    layout->addStretch();
    FinishLayout(layout, QSize(401, 254));

    setTabOrder(pass1Edit_, pass2Edit_);
    setTabOrder(pass2Edit_, setPassBtn_);
    setPassBtn_->setEnabled(false);
    connect(pass1Edit_, &QLineEdit::textChanged, this, &TSetPass2Dlg::Pass1EditChange);
    connect(pass2Edit_, &QLineEdit::textChanged, this, &TSetPass2Dlg::Pass1EditChange);
}

void TSetPass2Dlg::Pass1EditChange()
{
    setPassBtn_->setEnabled(IsNewPasswordConfirmed(*pass1Edit_, *pass2Edit_));
}

bool TSetPass2Dlg::Run(std::string_view line1, std::string_view line2, PasswordField& password)
{
    info1Lbl_->setText(FromUtf8(line1));
    info2Lbl_->setText(FromUtf8(line2));
    return RunForNewPassword(*pass1Edit_, *pass2Edit_, password);
}

} // namespace qozel

#include "ui/dialogs/TLoginDlg.h"

#include "ui/Utf8.h"

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
    QLabel* prompt = MakeLabel("Label3", QStringLiteral("Podaj hasło administratora "));
    prompt->setAlignment(Qt::AlignCenter);
    QLabel* passLbl = MakeLabel("Label1", QStringLiteral("Hasło:"));

    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(16, 20, 16, 16);
    layout->setSpacing(8);
    layout->addWidget(info1Lbl_);
    layout->addWidget(info2Lbl_);
    layout->addSpacing(24);
    layout->addWidget(prompt);
    layout->addSpacing(10);
    layout->addLayout(MakeFieldGrid({{passLbl, passEdit_}}));
    layout->addSpacing(16);
    layout->addLayout(MakeButtonRow(loginBtn_));
    layout->addStretch();
    FinishLayout(layout, QSize(401, 220));

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

#pragma once

#include "ui/dialogs/PasswordDialog.h"

namespace qozel {

// Asks for the current administrator password and a new one, typed twice.
class TChngPassDlg final : public PasswordDialog {
    Q_OBJECT
public:
    explicit TChngPassDlg(QWidget* parent = nullptr);

    // On OK writes both passwords; otherwise leaves them alone. All three
    // edits are empty again afterwards either way.
    bool Run(PasswordField& oldPassword, PasswordField& newPassword);

private slots:
    // OK is enabled when the old password has at least 8 characters and the
    // new one is 8 to 20 characters repeated exactly; old and new may match.
    void OldPassEditChange();

private:
    QLabel* descrLbl_;
    QLineEdit* oldPassEdit_;
    QLineEdit* newPass1Edit_;
    QLineEdit* newPass2Edit_;
    QPushButton* chngPassBtn_;
};

} // namespace qozel

#pragma once

#include "ui/dialogs/PasswordDialog.h"

#include <string_view>

namespace qozel {

// Asks for the administrator password of an Arkan or a programmer that
// already has one. Its button is always enabled: an empty password is valid.
class TLoginDlg final : public PasswordDialog {
    Q_OBJECT
public:
    explicit TLoginDlg(QWidget* parent = nullptr);

    // Shows the dialog with the given purpose lines and button caption. On OK
    // writes the typed password to `password`; otherwise leaves it alone.
    // The edit is empty again afterwards either way.
    bool Run(std::string_view line1, std::string_view line2, std::string_view buttonCaption,
             PasswordField& password);

private:
    QLabel* info1Lbl_;
    QLabel* info2Lbl_;
    QLineEdit* passEdit_;
    QPushButton* loginBtn_;
};

} // namespace qozel

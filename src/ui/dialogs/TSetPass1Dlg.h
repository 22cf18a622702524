#pragma once

#include "ui/dialogs/PasswordDialog.h"

#include <string_view>

namespace qozel {

// Asks for a new user or installer password, typed twice.
class TSetPass1Dlg final : public PasswordDialog {
    Q_OBJECT
public:
    explicit TSetPass1Dlg(QWidget* parent = nullptr);

    // Shows the dialog under `title`. On OK writes the new password to
    // `password`; otherwise leaves it alone. Both edits are empty again
    // afterwards either way.
    bool Run(std::string_view title, PasswordField& password);

private slots:
    // OK is enabled for 8 to 20 characters repeated exactly.
    void Pass1EditChange();

private:
    QLabel* infoLbl_;
    QLineEdit* pass1Edit_;
    QLineEdit* pass2Edit_;
    QPushButton* setPassBtn_;
};

} // namespace qozel

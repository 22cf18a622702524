#pragma once

#include "ui/dialogs/NewPasswordDialog.h"

#include <string_view>

namespace qozel {

// Asks for a new user or installer password, typed twice.
class TSetPass1Dlg final : public NewPasswordDialog {
    Q_OBJECT
public:
    explicit TSetPass1Dlg(QWidget* parent = nullptr);

    // Shows the dialog under `title`. On OK writes the new password to
    // `password`; otherwise leaves it alone. Both edits are empty again
    // afterwards either way.
    bool Run(std::string_view title, PasswordField& password);

private:
    QLabel* infoLbl_;
};

} // namespace qozel

#pragma once

#include "ui/dialogs/NewPasswordDialog.h"

#include <string_view>

namespace qozel {

// Asks for a new administrator password, typed twice, for a device that has
// none yet or whose access is being recovered.
class TSetPass2Dlg final : public NewPasswordDialog {
    Q_OBJECT
public:
    explicit TSetPass2Dlg(QWidget* parent = nullptr);

    // Shows the dialog with the given purpose lines. On OK writes the new
    // password to `password`; otherwise leaves it alone. Both edits are empty
    // again afterwards either way.
    bool Run(std::string_view line1, std::string_view line2, PasswordField& password);

private:
    QLabel* info1Lbl_;
    QLabel* info2Lbl_;
};

} // namespace qozel

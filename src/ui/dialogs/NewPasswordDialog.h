#pragma once

#include "ui/dialogs/PasswordDialog.h"

namespace qozel {

// What the two set-password dialogs share: the new password typed twice, the
// button the rule for a new password enables, and the run that reads the
// password back.
class NewPasswordDialog : public PasswordDialog {
    Q_OBJECT
protected:
    using PasswordDialog::PasswordDialog;

    // Makes both edits and the button, disabled until the rule holds; after
    // the labels above them, so that assistive technology meets them in
    // reading order.
    void MakeFields(const QString& buttonCaption);
    // Ends `column` with the grid of both edits and the button, and fixes the
    // dialog at `designSize`.
    void FinishFields(QVBoxLayout* column, QSize designSize);
    // Shows the dialog; on OK reads the new password into `field`. Both edits
    // are emptied whatever the outcome.
    bool RunForNewPassword(PasswordField& field);

    QLineEdit* pass1Edit_ = nullptr;
    QLineEdit* pass2Edit_ = nullptr;
    QPushButton* setPassBtn_ = nullptr;

private slots:
    // OK is enabled for 8 to 20 characters repeated exactly.
    void Pass1EditChange();
};

} // namespace qozel

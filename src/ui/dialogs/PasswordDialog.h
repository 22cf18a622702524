#pragma once

#include "platform/SecureMemory.h"

#include <QDialog>
#include <QSize>

#include <initializer_list>

class QBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

namespace qozel {

// What the four password dialogs share: caption, fixed frame, font, masked
// 20-character edits, an OK button that is neither default nor cancel, and the
// read-back of an edit into a Windows-1250 password field.
//
// The only way to leave a dialog without OK is its window's close box: Escape
// does nothing, and Enter only presses the button that has the focus.
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxPasswordChars = 20;
    static constexpr int kMinNewPasswordChars = 8;

protected:
    PasswordDialog(QWidget* parent, const char* objectName, int fontPoints);

    QLabel* MakeLabel(const char* objectName, const QString& text);
    // A centred label of at least `width` pixels whose text the runner sets.
    QLabel* MakeInfoLabel(const char* objectName, int width, bool bold);
    QLineEdit* MakePasswordEdit(const char* objectName);
    QPushButton* MakeOkButton(const char* objectName, const QString& caption, int width);

    // One row of the centred grid of password edits: caption, edit, an
    // optional hint to the right of the edit, and extra space above the row.
    struct FieldRow {
        QLabel* caption;
        QLineEdit* edit;
        QLabel* hint = nullptr;
        int spaceAbove = 0;
    };
    static QLayout* MakeFieldGrid(std::initializer_list<FieldRow> rows);
    // The grid of the two set-password dialogs: "Hasło:" with the length
    // hint, then "Powtórz:".
    QLayout* MakeNewPasswordGrid(QLineEdit* password, QLineEdit* repetition);
    // A row holding `button` centred.
    static QLayout* MakeButtonRow(QPushButton* button);

    // Installs `layout` and fixes the dialog at its design size, or larger
    // when the font needs more room.
    void FinishLayout(QBoxLayout* layout, QSize designSize);

    // Refits the dialog to the texts its runner has just set, then shows it
    // modally; true when it was closed with its OK button.
    bool ShowModal();

    // Shows a set-password dialog; on OK reads `password` into `field`. Both
    // edits are emptied whatever the outcome.
    bool RunForNewPassword(QLineEdit& password, QLineEdit& repetition, PasswordField& field);

    // The rule for a new password: at least 8 characters, repeated exactly
    // (case-sensitive).
    static bool IsNewPasswordConfirmed(const QLineEdit& password, const QLineEdit& repetition);
    static void ReadPassword(const QLineEdit& edit, PasswordField& field);
    // Empties an edit together with its undo history, which would otherwise
    // keep the typed characters in memory until the next showing.
    static void EmptyPassword(QLineEdit& edit);

    void keyPressEvent(QKeyEvent* event) override;

private:
    QSize designSize_;
};

} // namespace qozel

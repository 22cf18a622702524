#pragma once

#include "platform/SecureMemory.h"

#include <QByteArray>
#include <QDialog>
#include <QSize>

#include <initializer_list>
#include <string_view>

class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

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

    // The column the dialog's rows stand in, with the dialogs' margins.
    static QVBoxLayout* MakeColumn();
    // The top of the dialogs that ask about the administrator password: the
    // two lines the runner sets, then the centred prompt.
    void AddAdminPrompt(QVBoxLayout& column, QLabel* info1, QLabel* info2);
    // Ends `column` with `button` centred `spaceAbove` pixels below the rest,
    // installs it and fixes the dialog at its design size, or larger when the
    // font needs more room.
    void FinishWithButton(QVBoxLayout* column, int spaceAbove, QPushButton* button, QSize designSize);

    // Refits the dialog to the texts its runner has just set, then shows it
    // modally; true when it was closed with its OK button.
    bool ShowModal();

    // The UTF-8 form of an edit's text, for the password rules and fields;
    // wiped when it goes.
    class SecretText {
    public:
        explicit SecretText(const QLineEdit& edit);
        ~SecretText();
        SecretText(const SecretText&) = delete;
        SecretText& operator=(const SecretText&) = delete;
        std::string_view View() const noexcept;

    private:
        QByteArray utf8_;
    };

    static void ReadPassword(const QLineEdit& edit, PasswordField& field);
    // Empties an edit together with its undo history, which would otherwise
    // keep the typed characters in memory until the next showing.
    static void EmptyPassword(QLineEdit& edit);

    void keyPressEvent(QKeyEvent* event) override;

private:
    QSize designSize_;
};

} // namespace qozel

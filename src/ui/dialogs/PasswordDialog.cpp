#include "ui/dialogs/PasswordDialog.h"

#include "platform/Win1250.h"
#include "ui/widgets/FixedDialog.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qozel {

PasswordDialog::PasswordDialog(QWidget* parent, const char* objectName, int fontPoints)
    : QDialog(parent, kFixedDialogFlags)
{
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(QStringLiteral("QoZelConfig"));
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(fontPoints);
    setFont(font);
}

QLabel* PasswordDialog::MakeLabel(const char* objectName, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* PasswordDialog::MakeInfoLabel(const char* objectName, int width, bool bold)
{
    QLabel* label = MakeLabel(objectName, QString());
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(width);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QLineEdit* PasswordDialog::MakePasswordEdit(const char* objectName)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(kMaxPasswordChars);
    edit->setFixedWidth(121);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42; "
                                       "lineedit-password-mask-delay: 0;"));
    return edit;
}

QPushButton* PasswordDialog::MakeOkButton(const char* objectName, const QString& caption, int width)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setMinimumWidth(width);
    connect(button, &QPushButton::clicked, this, &QDialog::accept);
    return button;
}

QLayout* PasswordDialog::MakeFieldGrid(std::initializer_list<FieldRow> rows)
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(12);
    int row = 0;
    for (const FieldRow& r : rows) {
        if (r.spaceAbove > 0)
            grid->setRowMinimumHeight(row++, r.spaceAbove);
        grid->addWidget(r.caption, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(r.edit, row, 1);
        if (r.hint)
            grid->addWidget(r.hint, row, 2);
        ++row;
    }
    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(grid);
    centred->addStretch();
    return centred;
}

QVBoxLayout* PasswordDialog::MakeColumn()
{
    auto* column = new QVBoxLayout;
    column->setContentsMargins(16, 20, 16, 16);
    column->setSpacing(8);
    return column;
}

void PasswordDialog::AddAdminPrompt(QVBoxLayout& column, QLabel* info1, QLabel* info2)
{
    QLabel* prompt = MakeLabel("Label3", QStringLiteral("Podaj hasło administratora "));
    prompt->setAlignment(Qt::AlignCenter);
    column.addWidget(info1);
    column.addWidget(info2);
    column.addSpacing(24);
    column.addWidget(prompt);
    column.addSpacing(10);
}

void PasswordDialog::FinishWithButton(QVBoxLayout* column, int spaceAbove, QPushButton* button, QSize designSize)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(button);
    row->addStretch();
    column->addSpacing(spaceAbove);
    column->addLayout(row);
    column->addStretch();
    designSize_ = designSize;
    setLayout(column);
    FitFixedSize(*this, designSize_);
}

bool PasswordDialog::ShowModal()
{
    FitFixedSize(*this, designSize_);
    return exec() == QDialog::Accepted;
}

PasswordDialog::SecretText::SecretText(const QLineEdit& edit) : utf8_(edit.text().toUtf8()) {}

PasswordDialog::SecretText::~SecretText()
{
    SecureWipe(utf8_.data(), static_cast<std::size_t>(utf8_.size()));
}

std::string_view PasswordDialog::SecretText::View() const noexcept
{
    return {utf8_.constData(), static_cast<std::size_t>(utf8_.size())};
}

void PasswordDialog::ReadPassword(const QLineEdit& edit, PasswordField& field)
{
    FillPasswordField(SecretText(edit).View(), field);
}

void PasswordDialog::EmptyPassword(QLineEdit& edit)
{
    edit.setText(QString());
}

void PasswordDialog::keyPressEvent(QKeyEvent* event)
{
    // QDialog would reject on Escape and click a default button on Enter;
    // these dialogs have neither a cancel nor a default button. Enter still
    // presses a button that has the focus.
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        event->accept();
        return;
    }
    if (key == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace qozel

// The OK-button rules and edit limits of the password dialogs, exercised by
// typing into the dialogs' own edits.
#include "QtTestSupport.h"

#include "ui/dialogs/TChngPassDlg.h"
#include "ui/dialogs/TLoginDlg.h"
#include "ui/dialogs/TSetPass1Dlg.h"
#include "ui/dialogs/TSetPass2Dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <memory>

namespace qozel {
namespace {

template <typename T>
T* Child(QWidget* dialog, const char* name)
{
    T* child = dialog->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

void Retype(QLineEdit* edit, const QString& text)
{
    edit->setText(QString());
    QTest::keyClicks(edit, text);
}

// Both set-password dialogs share control names and rule.
std::unique_ptr<QWidget> MakeSetPassDialog(int which)
{
    if (which == 1)
        return std::make_unique<TSetPass1Dlg>();
    return std::make_unique<TSetPass2Dlg>();
}

class SetPassRule : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        dialog = MakeSetPassDialog(GetParam());
        pass1 = Child<QLineEdit>(dialog.get(), "Pass1Edit");
        pass2 = Child<QLineEdit>(dialog.get(), "Pass2Edit");
        ok = Child<QPushButton>(dialog.get(), "SetPassBtn");
    }

    std::unique_ptr<QWidget> dialog;
    QLineEdit* pass1 = nullptr;
    QLineEdit* pass2 = nullptr;
    QPushButton* ok = nullptr;
};

TEST_P(SetPassRule, SevenEqualCharactersDisableAndTheEighthEnables)
{
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(pass1, "aaaaaaa");
    QTest::keyClicks(pass2, "aaaaaaa");
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(pass1, "a");
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(pass2, "a");
    EXPECT_TRUE(ok->isEnabled());
}

TEST_P(SetPassRule, RepetitionTypedFirstEnablesOnceBothMatchAndAnyLaterChangeDisables)
{
    QTest::keyClicks(pass2, "haslo123");
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(pass1, "haslo12");
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(pass1, "3");
    EXPECT_TRUE(ok->isEnabled());

    QTest::keyClick(pass2, Qt::Key_Backspace);
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(pass2, "3");
    EXPECT_TRUE(ok->isEnabled());
    QTest::keyClicks(pass1, "4");
    EXPECT_FALSE(ok->isEnabled());
}

TEST_P(SetPassRule, TextsDifferingOnlyInCaseKeepOkDisabled)
{
    QTest::keyClicks(pass1, "Haslo1234");
    QTest::keyClicks(pass2, "haslo1234");
    EXPECT_FALSE(ok->isEnabled());
    Retype(pass2, "Haslo1234");
    EXPECT_TRUE(ok->isEnabled());
}

TEST_P(SetPassRule, LengthCountsCharactersNotBytes)
{
    // Eight Polish letters are 16 bytes of UTF-8 but eight characters.
    test::TypeText(pass1, QStringLiteral("źźźźźźź"));
    test::TypeText(pass2, QStringLiteral("źźźźźźź"));
    EXPECT_FALSE(ok->isEnabled());
    test::TypeText(pass1, QStringLiteral("ź"));
    test::TypeText(pass2, QStringLiteral("ź"));
    EXPECT_TRUE(ok->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, SetPassRule, ::testing::Values(1, 2),
                         [](const auto& info) { return info.param == 1 ? "SetPass1" : "SetPass2"; });

TEST(ChngPassRule, OldPasswordOfSevenCharactersKeepsOkDisabled)
{
    TChngPassDlg dialog;
    auto* oldPass = Child<QLineEdit>(&dialog, "OldPassEdit");
    auto* new1 = Child<QLineEdit>(&dialog, "NewPass1Edit");
    auto* new2 = Child<QLineEdit>(&dialog, "NewPass2Edit");
    auto* ok = Child<QPushButton>(&dialog, "ChngPassBtn");

    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(new1, "nowehaslo");
    QTest::keyClicks(new2, "nowehaslo");
    QTest::keyClicks(oldPass, "stareha");
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(oldPass, "s");
    EXPECT_TRUE(ok->isEnabled());

    // The repetition must still match, case included.
    Retype(new2, "NoweHaslo");
    EXPECT_FALSE(ok->isEnabled());
    // A new password of seven characters is refused even when repeated.
    Retype(new1, "nowehas");
    Retype(new2, "nowehas");
    EXPECT_FALSE(ok->isEnabled());
    // The new password may equal the old one.
    Retype(new1, "staerhas");
    Retype(new2, "staerhas");
    Retype(oldPass, "staerhas");
    EXPECT_TRUE(ok->isEnabled());
}

TEST(PasswordEdits, RefuseATwentyFirstCharacterAndMaskWithAsterisks)
{
    TLoginDlg login;
    TSetPass1Dlg set1;
    TSetPass2Dlg set2;
    TChngPassDlg change;
    const std::pair<QWidget*, const char*> edits[] = {
        {&login, "PassEdit"},     {&set1, "Pass1Edit"},      {&set1, "Pass2Edit"},
        {&set2, "Pass1Edit"},     {&set2, "Pass2Edit"},      {&change, "OldPassEdit"},
        {&change, "NewPass1Edit"}, {&change, "NewPass2Edit"},
    };
    for (const auto& [dialog, name] : edits) {
        SCOPED_TRACE(name);
        auto* edit = Child<QLineEdit>(dialog, name);
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        EXPECT_EQ(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit), '*');
        QTest::keyClicks(edit, "abcdefghijklmnopqrstu");
        EXPECT_EQ(edit->text(), QStringLiteral("abcdefghijklmnopqrst"));
    }
}

TEST(PasswordDialogs, ButtonsAreNeitherDefaultNorCancel)
{
    TLoginDlg login;
    auto* passEdit = Child<QLineEdit>(&login, "PassEdit");
    auto* loginBtn = Child<QPushButton>(&login, "LoginBtn");
    EXPECT_TRUE(loginBtn->isEnabled());
    EXPECT_FALSE(loginBtn->isDefault());
    EXPECT_FALSE(loginBtn->autoDefault());

    // Enter in the edit neither accepts nor rejects; Escape does not close.
    login.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&login));
    QTest::keyClick(passEdit, Qt::Key_Return);
    QTest::keyClick(passEdit, Qt::Key_Escape);
    EXPECT_TRUE(login.isVisible());
    EXPECT_EQ(login.result(), 0);
    EXPECT_FALSE(loginBtn->isDefault());

    // Enter on the focused button presses it, as Space does.
    loginBtn->setFocus();
    QTest::keyClick(loginBtn, Qt::Key_Return);
    EXPECT_FALSE(login.isVisible());
    EXPECT_EQ(login.result(), QDialog::Accepted);
}

TEST(PasswordDialogs, FixedTitleFramesAndFonts)
{
    TLoginDlg login;
    TSetPass2Dlg set2;
    TChngPassDlg change;
    TSetPass1Dlg set1;
    const std::tuple<QWidget*, const char*, int, QSize> dialogs[] = {
        {&login, "LoginDlg", 10, {401, 220}},
        {&set2, "SetPass2Dlg", 10, {401, 254}},
        {&change, "ChngPassDlg", 10, {330, 242}},
        {&set1, "SetPass1Dlg", 8, {317, 184}},
    };
    for (const auto& [dialog, name, points, size] : dialogs) {
        SCOPED_TRACE(name);
        EXPECT_EQ(dialog->objectName(), QLatin1String(name));
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("QoZelConfig"));
        EXPECT_EQ(dialog->font().pointSize(), points);
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "resizable";
        EXPECT_GE(dialog->width(), size.width());
        EXPECT_GE(dialog->height(), size.height());
        EXPECT_FALSE(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    }
    EXPECT_TRUE(Child<QLabel>(&login, "Info1Lbl")->font().bold());
    EXPECT_FALSE(Child<QLabel>(&change, "DescrLbl")->font().bold());
    EXPECT_EQ(Child<QPushButton>(&set1, "SetPassBtn")->text(), QStringLiteral("Ustaw hasło"));
    EXPECT_EQ(Child<QPushButton>(&change, "ChngPassBtn")->text(), QStringLiteral("Zmień hasło"));
}

} // namespace
} // namespace qozel

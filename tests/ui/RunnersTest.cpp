// The four runners driven through the Prompts seam with the real, modal
// dialogs: what they show, what they hand back, and what they leave behind.
#include "QtTestSupport.h"

#include "ui/QtPrompts.h"
#include "ui/dialogs/TChngPassDlg.h"
#include "ui/dialogs/TLoginDlg.h"
#include "ui/dialogs/TSetPass1Dlg.h"
#include "ui/dialogs/TSetPass2Dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace qozel {
namespace {

using test::Bytes;
using test::OnModal;
using test::Untouched;

QLineEdit* Edit(QWidget* dialog, const char* name)
{
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << name;
    return edit;
}

QPushButton* Button(QWidget* dialog, const char* name)
{
    auto* button = dialog->findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
}

QString LabelText(QWidget* dialog, const char* name)
{
    auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
}

void ClickOk(QWidget* dialog, const char* name)
{
    QPushButton* button = Button(dialog, name);
    ASSERT_TRUE(button->isEnabled()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

class Runners : public ::testing::Test {
protected:
    QtPrompts prompts{nullptr, nullptr};
    Prompts& seam = prompts;
};

TEST_F(Runners, LoginShowsTheTextsOfEachCallAndAcceptsAnEmptyPassword)
{
    PasswordField password = Untouched();
    OnModal first([](QWidget* dialog) {
        EXPECT_NE(qobject_cast<TLoginDlg*>(dialog), nullptr);
        EXPECT_EQ(LabelText(dialog, "Info1Lbl"), QStringLiteral("Logowanie do Arkan"));
        EXPECT_EQ(LabelText(dialog, "Info2Lbl"), QStringLiteral("i Programatora G30"));
        EXPECT_EQ(Button(dialog, "LoginBtn")->text(), QStringLiteral("Zaloguj"));
        EXPECT_EQ(LabelText(dialog, "Label3"), QStringLiteral("Podaj hasło administratora "));
        ClickOk(dialog, "LoginBtn");
    });
    ASSERT_TRUE(seam.AskLoginPassword("Logowanie do Arkan", "i Programatora G30", "Zaloguj", password));
    EXPECT_EQ(Bytes(password), std::string(20, '\0'));

    // Nothing of the first call survives into the second.
    OnModal second([](QWidget* dialog) {
        EXPECT_EQ(LabelText(dialog, "Info1Lbl"), QStringLiteral("Zmiana klucza"));
        EXPECT_EQ(LabelText(dialog, "Info2Lbl"), QString());
        EXPECT_EQ(Button(dialog, "LoginBtn")->text(), QStringLiteral("Wykonaj"));
        dialog->close();
    });
    EXPECT_FALSE(seam.AskLoginPassword("Zmiana klucza", "", "Wykonaj", password));
}

TEST_F(Runners, LoginHandsBackTwentyWindows1250BytesWithoutTerminator)
{
    PasswordField password = Untouched();
    OnModal act([](QWidget* dialog) {
        // 21 characters typed; the last one is refused by the edit.
        test::TypeText(Edit(dialog, "PassEdit"), QStringLiteral("Zażółć gęślą jaźń 12X"));
        ClickOk(dialog, "LoginBtn");
    });
    ASSERT_TRUE(seam.AskLoginPassword("a", "b", "Zaloguj", password));
    EXPECT_EQ(Bytes(password), "Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1 12");

    OnModal check([](QWidget* dialog) {
        EXPECT_TRUE(Edit(dialog, "PassEdit")->text().isEmpty());
        dialog->close();
    });
    EXPECT_FALSE(seam.AskLoginPassword("a", "b", "Zaloguj", password));
}

TEST_F(Runners, LoginClosedWithoutOkLeavesTheFieldAndEmptiesTheEdit)
{
    PasswordField password = Untouched();
    OnModal act([](QWidget* dialog) {
        QTest::keyClicks(Edit(dialog, "PassEdit"), "tajne");
        dialog->close();
    });
    EXPECT_FALSE(seam.AskLoginPassword("a", "b", "Zaloguj", password));
    EXPECT_EQ(Bytes(password), Bytes(Untouched()));

    OnModal check([](QWidget* dialog) {
        EXPECT_TRUE(Edit(dialog, "PassEdit")->text().isEmpty());
        dialog->close();
    });
    EXPECT_FALSE(seam.AskLoginPassword("a", "b", "Zaloguj", password));
}

TEST_F(Runners, SetPass2ReadsTheFirstEditAndStartsEmptyAndDisabledAfterAClose)
{
    PasswordField password = Untouched();
    OnModal abandon([](QWidget* dialog) {
        EXPECT_NE(qobject_cast<TSetPass2Dlg*>(dialog), nullptr);
        EXPECT_EQ(LabelText(dialog, "Info1Lbl"), QStringLiteral("Odzyskiwanie dostępu do Arkan"));
        EXPECT_EQ(LabelText(dialog, "Info2Lbl"), QStringLiteral("Ustawienie nowego hasła administratora"));
        QTest::keyClicks(Edit(dialog, "Pass1Edit"), "haslo1234");
        QTest::keyClicks(Edit(dialog, "Pass2Edit"), "haslo1234");
        EXPECT_TRUE(Button(dialog, "SetPassBtn")->isEnabled());
        dialog->close();
    });
    EXPECT_FALSE(seam.AskNewAdminPassword("Odzyskiwanie dostępu do Arkan",
                                          "Ustawienie nowego hasła administratora", password));
    EXPECT_EQ(Bytes(password), Bytes(Untouched()));

    OnModal accept([](QWidget* dialog) {
        EXPECT_TRUE(Edit(dialog, "Pass1Edit")->text().isEmpty());
        EXPECT_TRUE(Edit(dialog, "Pass2Edit")->text().isEmpty());
        EXPECT_FALSE(Button(dialog, "SetPassBtn")->isEnabled());
        test::TypeText(Edit(dialog, "Pass1Edit"), QStringLiteral("Hasło-Łąka"));
        test::TypeText(Edit(dialog, "Pass2Edit"), QStringLiteral("Hasło-Łąka"));
        ClickOk(dialog, "SetPassBtn");
    });
    ASSERT_TRUE(seam.AskNewAdminPassword("x", "y", password));
    EXPECT_EQ(Bytes(password), std::string("Has\xB3o-\xA3\xB9ka") + std::string(10, '\0'));
}

TEST_F(Runners, SetPass1ShowsItsTitleAndEmptiesBothEditsAfterOk)
{
    PasswordField password = Untouched();
    OnModal accept([](QWidget* dialog) {
        EXPECT_NE(qobject_cast<TSetPass1Dlg*>(dialog), nullptr);
        EXPECT_EQ(LabelText(dialog, "InfoLbl"), QStringLiteral("Ustawienie hasła Użytkownika"));
        QTest::keyClicks(Edit(dialog, "Pass1Edit"), "abcdefghijklmnopqrst");
        QTest::keyClicks(Edit(dialog, "Pass2Edit"), "abcdefghijklmnopqrst");
        ClickOk(dialog, "SetPassBtn");
    });
    ASSERT_TRUE(seam.AskNewPassword("Ustawienie hasła Użytkownika", password));
    EXPECT_EQ(Bytes(password), "abcdefghijklmnopqrst");

    OnModal check([](QWidget* dialog) {
        EXPECT_EQ(LabelText(dialog, "InfoLbl"), QStringLiteral("Ustawienie hasła Instalatora"));
        EXPECT_TRUE(Edit(dialog, "Pass1Edit")->text().isEmpty());
        EXPECT_TRUE(Edit(dialog, "Pass2Edit")->text().isEmpty());
        EXPECT_FALSE(Button(dialog, "SetPassBtn")->isEnabled());
        dialog->close();
    });
    EXPECT_FALSE(seam.AskNewPassword("Ustawienie hasła Instalatora", password));
    EXPECT_EQ(Bytes(password), "abcdefghijklmnopqrst");
}

TEST_F(Runners, ChngPassHandsBackOldAndNewAndResetsAllThreeEdits)
{
    PasswordField oldPassword = Untouched();
    PasswordField newPassword = Untouched();
    OnModal abandon([](QWidget* dialog) {
        EXPECT_NE(qobject_cast<TChngPassDlg*>(dialog), nullptr);
        EXPECT_EQ(LabelText(dialog, "DescrLbl"), QStringLiteral("Zmiana hasła Administratora"));
        QTest::keyClicks(Edit(dialog, "OldPassEdit"), "starehaslo");
        QTest::keyClicks(Edit(dialog, "NewPass1Edit"), "nowehaslo");
        QTest::keyClicks(Edit(dialog, "NewPass2Edit"), "nowehaslo");
        dialog->close();
    });
    EXPECT_FALSE(seam.AskPasswordChange(oldPassword, newPassword));
    EXPECT_EQ(Bytes(oldPassword), Bytes(Untouched()));
    EXPECT_EQ(Bytes(newPassword), Bytes(Untouched()));

    OnModal accept([](QWidget* dialog) {
        for (const char* name : {"OldPassEdit", "NewPass1Edit", "NewPass2Edit"})
            EXPECT_TRUE(Edit(dialog, name)->text().isEmpty()) << name;
        EXPECT_FALSE(Button(dialog, "ChngPassBtn")->isEnabled());
        QTest::keyClicks(Edit(dialog, "OldPassEdit"), "starehaslo");
        test::TypeText(Edit(dialog, "NewPass1Edit"), QStringLiteral("źdźbło€123"));
        test::TypeText(Edit(dialog, "NewPass2Edit"), QStringLiteral("źdźbło€123"));
        ClickOk(dialog, "ChngPassBtn");
    });
    ASSERT_TRUE(seam.AskPasswordChange(oldPassword, newPassword));
    EXPECT_EQ(Bytes(oldPassword), std::string("starehaslo") + std::string(10, '\0'));
    EXPECT_EQ(Bytes(newPassword), std::string("\x9F" "d\x9F" "b\xB3o\x80" "123") + std::string(10, '\0'));
}

TEST_F(Runners, CharactersOutsideTheCodePageArriveAsQuestionMarks)
{
    PasswordField password = Untouched();
    OnModal accept([](QWidget* dialog) {
        test::TypeText(Edit(dialog, "PassEdit"), QStringLiteral("пароль"));
        ClickOk(dialog, "LoginBtn");
    });
    ASSERT_TRUE(seam.AskLoginPassword("a", "b", "c", password));
    EXPECT_EQ(Bytes(password), std::string(6, '?') + std::string(14, '\0'));
}

} // namespace
} // namespace qozel

// Every text the program puts into its dialogs fits the widget that shows it,
// with the dialogs' own fonts and with fonts twice as large.
#include "QtTestSupport.h"
#include "TextFit.h"

#include "devset/DevSetTexts.h"
#include "devset/LoginPlan.h"
#include "ui/dialogs/TChngPassDlg.h"
#include "ui/dialogs/TLoginDlg.h"
#include "ui/dialogs/TSetPass1Dlg.h"
#include "ui/dialogs/TSetPass2Dlg.h"
#include "ui/upgrade/TUpgradeInfoBx.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <functional>
#include <string>
#include <vector>

namespace qozel {
namespace {

// Every label and button text on `window` fits the room its widget leaves it.
void ExpectTextsFit(QWidget& window)
{
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget))
            text = label->text();
        else if (auto* button = qobject_cast<QPushButton*>(widget))
            text = button->text();
        if (text.isEmpty())
            continue;
        EXPECT_LE(widget->fontMetrics().horizontalAdvance(text), test::TextRoom(*widget))
            << widget->objectName().toStdString() << ": " << text.toStdString();
    }
}

// Shows a dialog through its runner and checks it while it is open.
void ExpectFitWhileShown(const std::function<void()>& run)
{
    test::OnModal check([](QWidget* dialog) {
        ExpectTextsFit(*dialog);
        dialog->close();
    });
    run();
}

std::vector<LoginPlan> EveryLoginPlan()
{
    constexpr LoginState kStates[] = {LoginState::Absent, LoginState::PasswordSet, LoginState::NoPassword};
    std::vector<LoginPlan> plans;
    for (LoginState arkan : kStates)
        for (LoginState programmer : kStates)
            if (const LoginPlan plan = PlanLogin(arkan, programmer); plan.dialog != LoginDialog::None)
                plans.push_back(plan);
    return plans;
}

// The parameter scales the fonts while every size given in pixels stays. (A
// scale factor of the offscreen platform would scale text and widgets alike
// and so could not show clipping.)
class TextsFit : public ::testing::TestWithParam<int> {};

TEST_P(TextsFit, InThePasswordDialogsWithEveryTextTheProgramShows)
{
    TLoginDlg login;
    TSetPass2Dlg setPass2;
    TSetPass1Dlg setPass1;
    TChngPassDlg change;
    for (QWidget* dialog : std::initializer_list<QWidget*>{&login, &setPass2, &setPass1, &change})
        test::ScaleFonts(*dialog, GetParam());

    PasswordField password;
    PasswordField newPassword;
    for (const LoginPlan& plan : EveryLoginPlan()) {
        SCOPED_TRACE(std::string(plan.line1) + " / " + std::string(plan.line2));
        ExpectFitWhileShown([&] {
            if (plan.dialog == LoginDialog::Login)
                login.Run(plan.line1, plan.line2, plan.button, password);
            else
                setPass2.Run(plan.line1, plan.line2, password);
        });
    }
    for (const char* title : {devset_texts::kUserPasswordTitle, devset_texts::kInstallerPasswordTitle})
        ExpectFitWhileShown([&] { setPass1.Run(title, password); });
    ExpectFitWhileShown([&] { change.Run(password, newPassword); });
}

TEST_P(TextsFit, InTheUpgradeBox)
{
    TUpgradeInfoBx box(nullptr);
    test::ScaleFonts(box, GetParam());
    // The fixed texts; the device and version lines come from the upgrade.
    box.Show("", "", 1);
    ExpectTextsFit(box);
}

INSTANTIATE_TEST_SUITE_P(Fonts, TextsFit, ::testing::Values(1, 2),
                         [](const auto& info) { return "Scale" + std::to_string(info.param); });

} // namespace
} // namespace qozel

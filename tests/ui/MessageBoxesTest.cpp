// The three message boxes: look, and true only when OK closed them.
#include "QtTestSupport.h"

#include "ui/QtPrompts.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace qozel {
namespace {

using test::OnModal;

enum class Close { WithOk, WithCloseBox, WithEscape };

struct Kind {
    const char* name;
    bool (Prompts::*show)(std::string_view);
    QMessageBox::Icon icon;
    const char* title;
};

const Kind kKinds[] = {
    {"Error", &Prompts::ShowErrorMsg, QMessageBox::Critical, "Błąd"},
    {"Info", &Prompts::ShowInfoMsg, QMessageBox::Information, "Informacja"},
    {"Warning", &Prompts::ShowWarningMsg, QMessageBox::Warning, "Ostrzeżenie"},
};

constexpr std::string_view kText = "Zapisujesz w Arkan DOCELOWY klucz.\n\nZamknij to okno, <b>jeśli</b> nie.";

bool ShowAndClose(const Kind& kind, Close how)
{
    QtPrompts prompts(nullptr, nullptr);
    OnModal act([&kind, how](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), kind.icon);
        EXPECT_EQ(box->windowTitle(), QString::fromUtf8(kind.title));
        EXPECT_EQ(box->text(), QString::fromUtf8(kText.data(), kText.size()));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->buttons().front(), box->button(QMessageBox::Ok));
        switch (how) {
        case Close::WithOk: QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton); break;
        case Close::WithCloseBox: box->close(); break;
        case Close::WithEscape: QTest::keyClick(box, Qt::Key_Escape); break;
        }
    });
    return (prompts.*kind.show)(kText);
}

TEST(MessageBoxes, TrueOnlyWhenClosedWithOk)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        EXPECT_TRUE(ShowAndClose(kind, Close::WithOk));
        EXPECT_FALSE(ShowAndClose(kind, Close::WithCloseBox));
        EXPECT_FALSE(ShowAndClose(kind, Close::WithEscape));
    }
}

TEST(MessageBoxes, OkByKeyboardCountsAsOk)
{
    QtPrompts prompts(nullptr, nullptr);
    OnModal act([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box->button(QMessageBox::Ok), Qt::Key_Space);
    });
    EXPECT_TRUE(prompts.ShowInfoMsg("Przyłóż kartę backup."));
}

} // namespace
} // namespace qozel

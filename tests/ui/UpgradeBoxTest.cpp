// The upgrade box: its controls, what a showing sets, where it appears, and
// that the main window builds it only when an upgrade first shows it, after
// drawing what the models changed.
#include "QtTestSupport.h"

#include "app/CycleFixture.h"

#include "ui/upgrade/TUpgradeInfoBx.h"
#include "ui/upgrade/UpgradeBoxOnDemand.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

namespace qozel {
namespace {

template <typename T>
T* Child(QWidget& box, const char* name)
{
    T* child = box.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// The box is raised once per process, so this test has to be the first in its
// program to show one; ctest runs each test in a process of its own.
TEST(UpgradeBox, FirstShowingIsRaisedAboveTheMainWindowsCentreAndLaterOnesStayThere)
{
    QWidget mainWindow;
    mainWindow.setGeometry(100, 200, 600, 300);
    mainWindow.show();
    TUpgradeInfoBx box(&mainWindow);

    box.Show("QoZEL Arkan, Soft: 3", "4", 10);
    const QPoint centre = mainWindow.geometry().center();
    EXPECT_NEAR(box.geometry().center().x(), centre.x(), 1);
    EXPECT_NEAR(box.geometry().center().y(), centre.y() - 110, 1);

    const QPoint raised = box.pos();
    box.Close();
    box.Show("QoZEL Arkan, Soft: 4", "5", 10);
    EXPECT_EQ(box.pos(), raised);
}

TEST(UpgradeBox, ShowingSetsTheTextsAndAnEmptyBarWithoutBlocking)
{
    TUpgradeInfoBx box(nullptr);
    box.Show("QoZEL Arkan, Soft: 3", "4", 37);
    EXPECT_TRUE(box.isVisible());
    EXPECT_FALSE(box.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Child<QLabel>(box, "UpgrDevLbl")->text(), QStringLiteral("QoZEL Arkan, Soft: 3"));
    EXPECT_EQ(Child<QLabel>(box, "UpgrNewSoft")->text(), QStringLiteral("4"));

    auto* bar = Child<QProgressBar>(box, "UpgrProgrBar");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 37);
    EXPECT_EQ(bar->value(), 0);
    box.SetProgress(12);
    EXPECT_EQ(bar->value(), 12);

    box.Close();
    EXPECT_FALSE(box.isVisible());
}

TEST(UpgradeBox, NamesCaptionFrameAndFixedTexts)
{
    TUpgradeInfoBx box(nullptr);
    EXPECT_EQ(box.objectName(), QStringLiteral("Upgrade"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Upgrade"));
    EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "resizable";
    EXPECT_GE(box.width(), 410);
    EXPECT_GE(box.height(), 182);
    EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    const std::pair<const char*, QString> labels[] = {
        {"UpgrDevLbl", QString()},
        {"Label1", QStringLiteral("Wgrywanie aktualnej wersj oprogramowania urządzenia.")},
        {"UpgrNewSoftLbl", QStringLiteral("Numer nowej wersji:")},
        {"UpgrNewSoft", QString()},
    };
    for (const auto& [name, text] : labels)
        EXPECT_EQ(Child<QLabel>(box, name)->text(), text) << name;
    EXPECT_FALSE(Child<QProgressBar>(box, "UpgrProgrBar")->isTextVisible());
}

TEST(UpgradeBox, IsBuiltOnItsFirstShowingAsTheMainWindowsChild)
{
    QWidget mainWindow;
    test::RecordingView view;
    UpgradeBoxOnDemand onDemand(mainWindow, view);
    onDemand.SetProgress(3);
    onDemand.Close();
    EXPECT_TRUE(mainWindow.findChildren<TUpgradeInfoBx*>().isEmpty());

    onDemand.Show("QoZEL Arkan, Soft: 3", "4", 10);
    EXPECT_EQ(view.redraws, 1) << "the window is drawn before the run";
    ASSERT_EQ(mainWindow.findChildren<TUpgradeInfoBx*>().size(), 1);
    TUpgradeInfoBx& box = *mainWindow.findChild<TUpgradeInfoBx*>();
    EXPECT_TRUE(box.isVisible());
    onDemand.SetProgress(7);
    EXPECT_EQ(Child<QProgressBar>(box, "UpgrProgrBar")->value(), 7);
    onDemand.Close();
    EXPECT_FALSE(box.isVisible());

    onDemand.Show("QoZEL Arkan, Soft: 4", "5", 10);
    EXPECT_EQ(mainWindow.findChildren<TUpgradeInfoBx*>().size(), 1) << "built again";
    EXPECT_EQ(Child<QLabel>(box, "UpgrDevLbl")->text(), QStringLiteral("QoZEL Arkan, Soft: 4"));
}

} // namespace
} // namespace qozel

// The demo: its control window plays the installation under the program's
// main window, on a virtual clock. One installer's way through it: attach the
// Manager, present a card at a reader, store a master key in the Arkan, load
// the programmer's keys, program the card, and let the keyboard reader type it.
#include "QtTestSupport.h"

#include "DemoInstallation.h"
#include "DemoWindow.h"
#include "app/Colour.h"
#include "app/PollCycle.h"
#include "devset/DevSetTexts.h"
#include "ui/AppRoot.h"
#include "ui/dialogs/TLoginDlg.h"
#include "ui/dialogs/TSetPass2Dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <deque>
#include <string>
#include <vector>

namespace qozel {
namespace {

constexpr const char* kPassword = "haslo1234";

// Answers each modal window as the installer would: a password dialog with
// kPassword, a message box with OK, whose text it keeps.
class Installer {
public:
    Installer()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start();
    }

    std::vector<std::string> messages;

private:
    static void Fill(QWidget* dialog, const char* edit)
    {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QLatin1String(edit)), kPassword);
    }
    static void Press(QWidget* dialog, const char* button)
    {
        dialog->findChild<QPushButton*>(QLatin1String(button))->click();
    }

    void Answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text().toStdString());
            box->button(QMessageBox::Ok)->click();
        } else if (qobject_cast<TSetPass2Dlg*>(modal)) {
            Fill(modal, "Pass1Edit");
            Fill(modal, "Pass2Edit");
            Press(modal, "SetPassBtn");
        } else if (qobject_cast<TLoginDlg*>(modal)) {
            Fill(modal, "PassEdit");
            Press(modal, "LoginBtn");
        } else {
            ADD_FAILURE() << "unexpected modal window " << modal->objectName().toStdString();
            modal->close();
        }
    }

    QTimer timer_;
};

// What assistive technology reads of the control described by its object
// name, wherever it is in `window`: a reader table cell is one, whether a
// widget or painted.
QString SpokenText(QWidget& window, const QString& name)
{
    std::deque<QAccessibleInterface*> queue{QAccessible::queryAccessibleInterface(&window)};
    while (!queue.empty()) {
        QAccessibleInterface* node = queue.front();
        queue.pop_front();
        if (node == nullptr)
            continue;
        if (node->text(QAccessible::Description) == name)
            return node->text(QAccessible::Name);
        for (int i = 0; i < node->childCount(); ++i)
            queue.push_back(node->child(i));
    }
    ADD_FAILURE() << "nothing is named " << name.toStdString();
    return {};
}

class Demo : public ::testing::Test {
protected:
    template <class T = QWidget>
    static T* Child(QWidget& window, const char* name)
    {
        T* child = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    template <class T = QWidget>
    T* Main(const char* name) { return Child<T>(root.Window(), name); }
    template <class T = QWidget>
    T* Control(const char* name) { return Child<T>(controls, name); }

    // Poll passes as the timer runs them.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            root.Window().Cycle().Tick();
            root.Window().Redraw();
            clock.AdvanceMs(PollCycle::kTickMs);
        }
    }
    void ShowTab(WindowView::Tab tab)
    {
        Main<QTabWidget>("AllSheetPgCtrl")->setCurrentIndex(static_cast<int>(tab));
        Tick();
    }

    sim::VirtualClock clock;
    sim::DemoInstallation installation{clock};
    AppRoot root{installation.usb, installation.hid, clock};
    sim::DemoWindow controls{installation, root.Window()};
    Installer installer;
};

TEST_F(Demo, TheControlWindowIsPolishAndNamesEveryControl)
{
    EXPECT_EQ(controls.windowTitle(), QStringLiteral("Wirtualna instalacja"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&controls)->role(), QAccessible::Window);
    for (QWidget* control : controls.findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QLineEdit*>(control) || qobject_cast<QLabel*>(control)) {
            EXPECT_FALSE(control->objectName().isEmpty()) << control->metaObject()->className();
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }
    EXPECT_EQ(Control<QCheckBox>("ManPlugChkBx")->accessibleName(), QStringLiteral("Podłączony: QoZEL Manager"));
    EXPECT_EQ(Control<QComboBox>("ReaderCb")->count(), 3);
}

TEST_F(Demo, AnInstallerGoesFromTheManagerToAProgrammedCard)
{
    // The Manager attached: its readers fill the table.
    auto* plugManager = Control<QCheckBox>("ManPlugChkBx");
    plugManager->click();
    Tick();
    EXPECT_EQ(Main<QLabel>("RdManagerLbl")->text(), QStringLiteral("Brak QoZEL Managera"));
    plugManager->click();
    Tick(2);
    EXPECT_EQ(Main<QLabel>("RdManagerLbl")->text(),
              QStringLiteral("QoZEL Manager Nr: 49, Soft: %1").arg(installation.manager->soft));
    EXPECT_EQ(Main<QComboBox>("RdBaudCb")->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(SpokenText(root.Window(), QStringLiteral("TypeEdit00")), QStringLiteral("QO-L74"));
    EXPECT_EQ(SpokenText(root.Window(), QStringLiteral("AddrEdit02")), QStringLiteral("0"));

    // The blank card at the second reader marks its UID cell.
    Control<QComboBox>("ReaderCb")->setCurrentIndex(1);
    Control<QPushButton>("PresentCardBtn")->click();
    EXPECT_EQ(Control<QLabel>("StatusLbl")->text(), QStringLiteral("Czytnik 2 (QO-V75) odczytał UID karty."));
    Tick();
    EXPECT_EQ(SpokenText(root.Window(), QStringLiteral("UidEdit01")), QString::fromUtf8(kTickMark));
    EXPECT_EQ(SpokenText(root.Window(), QStringLiteral("UidEdit00")), QString());

    // A temporary master key generated and stored in the factory-fresh Arkan:
    // the administrator password is created on the Arkan and the programmer.
    ShowTab(WindowView::Tab::Key);
    for (int i = 0; i < 16; ++i)
        QTest::mousePress(Main<QPlainTextEdit>("KeyGrainMemo")->viewport(), Qt::LeftButton, {},
                          QPoint(5 + 3 * i, 7 + 2 * i));
    QTest::keyClicks(Main("KeyNameEdit"), "DEMO");
    Main<QPushButton>("KeyGenKeyMiBtn")->click();
    Main<QPushButton>("ArkamKeyMIBtn")->click();
    ASSERT_TRUE(installation.arkan->masterKey().has_value());
    EXPECT_TRUE(installation.arkan->masterKey()->temporary);
    EXPECT_EQ(installer.messages, std::vector<std::string>{devset_texts::kKeyStored});

    // The programmer's keys, then the card programmed with department 12, index 34.
    ShowTab(WindowView::Tab::Cards);
    Main<QPushButton>("TagKeysToPrgrBtn")->click();
    EXPECT_EQ(installation.programmer->keyBits(), 7);
    QTest::keyClicks(Main("TagPrDepEdit"), "12");
    QTest::keyClicks(Main("TagPrIdxEdit"), "34");
    Main<QPushButton>("TagProgrTagBtn")->click();
    EXPECT_EQ(installer.messages.size(), 2u) << installer.messages.back();
    const std::string card = installation.CardText(0);
    EXPECT_EQ(Main<QLabel>("TagPrUidLbl")->text().toStdString(), card.substr(0, 16));
    EXPECT_EQ(card.substr(16), ": zaprogramowana (wydział 12, index 34), na programatorze");

    // The keyboard reader, without keys for the card's file, types its UID and Enter.
    auto* typed = Main<QPlainTextEdit>("TagKbRdWin");
    typed->setFocus();
    Control<QPushButton>("KbRdCardBtn")->click();
    for (int round = 0; round < 1000 && controls.Typing(); ++round)
        QTest::qWait(1);
    QApplication::processEvents();
    EXPECT_EQ(typed->toPlainText().toStdString(), card.substr(0, 16) + "\n");
}

} // namespace
} // namespace qozel

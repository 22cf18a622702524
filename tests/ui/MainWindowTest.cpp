// The main window on a simulated installation: its controls, that no fixed
// text is clipped at the design font and at twice its size, the pages built
// as their tabs are first shown, what the Readers tab draws from the poll
// cycle, and that a box opens over what the models hold.
#include "QtTestSupport.h"
#include "TextFit.h"

#include "SimInstallation.h"
#include "app/PollCycle.h"
#include "support/SimLogin.h"
#include "ui/mainwindow/TMainWin.h"
#include "ui/readergrid/ReaderGrid.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <vector>

namespace qozel {
namespace {

using Device = sim::SimInstallation::Device;

struct Fixed {
    const char* name;
    const char* text;  // caption, title or label text
};

const Fixed kFixedTexts[] = {
    {"RdBaudLbl", "Prędkość OSDP Bus:"},
    {"TabShowLbl", "Pokaż"}, {"TabTypeLbl", "Typ"}, {"TabBaudLbl", "Baud"}, {"TabNrLbl", "Nr"},
    {"TabSoftLbl", "Soft"}, {"TabAddrLbl", "Adr."}, {"TabRdrLbl", "Czytniki"}, {"TabKeyLbl", "Key"},
    {"GroupBox2", " Zdarzenia "}, {"TabPwrLbl", "Pwr"}, {"TabTampLbl", "Tamper"}, {"Tab1Lbl", "1"},
    {"Tab2Lbl", "2"}, {"TabKartLbl", "Karty"}, {"TabUidLbl", "UID"}, {"TabDataLbl", "Dane"},
    {"TabTelLbl", "RoRe"}, {"TabPinLbl", "PIN"},
    {"RdRdBox", " Dane odczytane z karty "}, {"RdUidLbl", "UID:"}, {"RdWydzLbl", "Wydział:"},
    {"RdIdxLbl", "Index:"},
    {"RdSelGrpBx", " Wybrany Czytnik "}, {"RdAddrLbl", "Adres:"}, {"RdWrAddrBtn", "Ustaw adres czytnika "},
    {"RdCfgGrpBx", " Konfiguracja "}, {"RdCfg0FdGrpBx", " Dane odczytywane z karty QoZEL "},
    {"RdCfg0FdUidChkBx", "UID"}, {"RdCfg0FdWydzChkBx", "Wydział"}, {"RdCfg0FdIdxChkBx", "Index"},
    {"RdCfg0PinChkBx", "PIN wysyłany w całości"}, {"RdCfg0StarChkBx", "gwiazdka kasuje wprowadzone cyfry"},
    {"RdCfg0TrRoReChkBx", "Odczyt identyfikatora RoRe telefonu"}, {"RdCfg0WrBtn", "Zapisz"},
    {"RdCfg0WrAllBtn", "Zapisz do wszystkich"},
    {"RdZasGrpBx", " Zasilanie "}, {"RdULbl", "U:"}, {"RdUVLbl", "V"}, {"RdUppLbl", "Upp:"},
    {"RdUppmVLbl", "mV"}, {"RdMaxUppLbl", "maxUpp:"}, {"RdMaxUppmVLbl", "mV"},
    {"RdCfg1GrpBx", " Konfiguracja QO-L74 "}, {"RdCfg1TimLbl", "Czas aktywności czytników:"},
    {"RdCfg1Rd1TxtLbl", "Czytnik 1:"}, {"RdCfg1Rd1RegLbl", "Rejestruje:"}, {"RdCfg1Rd2TxtLbl", "Czytnik 2:"},
    {"RdCfg1Rd2RegLbl", "Rejestruje:"}, {"RdCfg1WrBtn", "Zapisz"},
    {"RdWrKeysBtn", "Pobierz klucze z Arkan do czytników"},
};

const Fixed kComboItems[] = {
    {"RdBaudCb", "9600|19200|38400|57600|115200|230400"},
    {"RdCfg1TimCb", "4s|8s|12s|16s|20s|24s|28s|32s|36s|40s|44s|48s|52s|56s|60s|64s"},
    {"RdCfg1Rd1IoCb", "Wejścia i Wyjścia|Wejścia|Wyjścia"},
    {"RdCfg1Rd2IoCb", "Wejścia i Wyjścia|Wejścia|Wyjścia"},
};

const Fixed kSpokenNames[] = {
    {"RdAddrEdit", "Adres"}, {"RdUEdit", "U"}, {"RdUppEdit", "Upp"},
    {"RdMaxUppEdit", "maxUpp"}, {"RdBaudCb", "Prędkość OSDP Bus"}, {"RdCfg1TimCb", "Czas aktywności czytników"},
    {"RdCfg1Rd1IoCb", "Czytnik 1: Rejestruje"}, {"RdCfg1Rd2IoCb", "Czytnik 2: Rejestruje"},
};

// Cells of the reader table, reached as assistive technology reaches them,
// and the header read with each.
struct SpokenCell {
    int row;
    int column;
    const char* header;
};

const SpokenCell kSpokenCells[] = {
    {0, ReaderRowCells::Type, "Typ"}, {7, ReaderRowCells::Show, "Pokaż"},
    {12, ReaderRowCells::Tamp2, "Tamper 2"}, {31, ReaderRowCells::Pin, "PIN"},
};

// The tabs beside Readers, each with a control of its page that the page
// disables when drawn with no device attached.
struct LaterPage {
    WindowView::Tab tab;
    const char* control;
};

const LaterPage kLaterPages[] = {
    {WindowView::Tab::Cards, "TagPrgrKeyTxtLbl"},
    {WindowView::Tab::Key, "KeyArKeyTxtLbl"},
    {WindowView::Tab::Recovery, "OdzPrgrResetBtn"},
};

// Notes, at the first paint of `watched`, whether any later page was built.
class FirstPaintWatch final : public QObject {
public:
    FirstPaintWatch(QWidget& watched, QWidget& window) : window_(window) { watched.installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !pagesBuilt.has_value())
            pagesBuilt = std::any_of(std::begin(kLaterPages), std::end(kLaterPages), [this](const LaterPage& page) {
                return window_.findChild<QWidget*>(QLatin1String(page.control)) != nullptr;
            });
        return false;
    }

    std::optional<bool> pagesBuilt;

private:
    QWidget& window_;
};

using test::ShownText;
using test::Text;

class MainWindow : public ::testing::Test {
protected:
    MainWindow()
    {
        for (Device device : {Device::Arkan, Device::Programmer, Device::KbReader, Device::Manager})
            installation.Unplug(device);
    }

    template <class T = QWidget>
    T* Child(const char* name)
    {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    // One tick as the timer runs it.
    void Tick()
    {
        window.Cycle().Tick();
        window.Redraw();
    }

    void ExpectFixedTextsFit()
    {
        auto expectFits = [](QWidget& widget, const QString& text) {
            EXPECT_LE(widget.fontMetrics().horizontalAdvance(text), test::TextRoom(widget))
                << widget.objectName().toStdString() << ": " << text.toStdString();
        };
        for (const Fixed& fixed : kFixedTexts)
            if (QWidget* widget = Child(fixed.name))
                expectFits(*widget, Text(fixed.text));
        for (const Fixed& fixed : kComboItems)
            if (auto* combo = Child<QComboBox>(fixed.name))
                for (int i = 0; i < combo->count(); ++i)
                    expectFits(*combo, combo->itemText(i));
        QTabBar* tabs = Child<QTabWidget>("AllSheetPgCtrl")->tabBar();
        for (int i = 0; i < tabs->count(); ++i)
            EXPECT_LE(tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)), tabs->tabRect(i).width());
    }

    sim::SimInstallation installation{false};
    TMainWin window{DeviceHosts{installation.usb, installation.hid, installation.clock}};
};

TEST_F(MainWindow, HoldsItsControlsWithTheirNamesAndTexts)
{
    EXPECT_EQ(window.objectName(), "MainWin");
    EXPECT_EQ(window.windowTitle(), "QoZEL Config 1.3");
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

    auto* tabs = Child<QTabWidget>("AllSheetPgCtrl");
    const Fixed sheets[] = {{"RdrTabSheet", "Czytniki"}, {"TagTabSheet", "Karty"},
                            {"KeyTabSheet", "Klucz Instalacji"}, {"OdzTabSheet", "Odzyskiwanie"},
                            {"DzTabSheet", "Dziennik"}};
    ASSERT_EQ(tabs->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tabs->widget(i)->objectName(), sheets[i].name);
        EXPECT_EQ(tabs->tabText(i), Text(sheets[i].text));
    }
    EXPECT_EQ(tabs->currentIndex(), 0);

    for (const Fixed& fixed : kFixedTexts) {
        if (QWidget* widget = Child(fixed.name)) {
            EXPECT_EQ(ShownText(*widget), Text(fixed.text)) << fixed.name;
        }
    }
    for (const Fixed& fixed : kComboItems) {
        QStringList items;
        if (auto* combo = Child<QComboBox>(fixed.name))
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
        EXPECT_EQ(items.join(u'|'), Text(fixed.text)) << fixed.name;
    }
    for (const Fixed& fixed : kSpokenNames) {
        if (QWidget* widget = Child(fixed.name)) {
            EXPECT_EQ(widget->accessibleName(), Text(fixed.text)) << fixed.name;
        }
    }

    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(Child("RdListGrid"))->tableInterface();
    ASSERT_NE(table, nullptr);
    for (const SpokenCell& cell : kSpokenCells)
        EXPECT_EQ(table->cellAt(cell.row, cell.column)->tableCellInterface()->columnHeaderCells().value(0)->text(
                      QAccessible::Name),
                  Text(cell.header))
            << cell.header;
    EXPECT_EQ(table->cellAt(7, ReaderRowCells::Show)->text(QAccessible::Name), "?");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window)->role(), QAccessible::Window);

    EXPECT_EQ(Child<QPushButton>("StartStopBtn")->text(), "Start/Stop");
    for (const char* name : {"StartStopBtn", "TraceArWin", "TracePrgrWin", "TraceManWin", "TraceKbRdWin"}) {
        if (QWidget* widget = Child(name)) {
            EXPECT_TRUE(widget->isHidden()) << name;
        }
    }
    for (const char* name : {"TraceArWin", "TracePrgrWin", "TraceManWin", "TraceKbRdWin"})
        EXPECT_TRUE(Child<QPlainTextEdit>(name)->isReadOnly()) << name;

    auto* timer = Child<QTimer>("ZelTimer");
    EXPECT_EQ(timer->interval(), 250);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(MainWindow, NoFixedTextIsClippedAtTheDesignFontNorAtTwiceItsSize)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.maximumSize(), TMainWin::kDesignSize) << "the design size holds the design font";
    {
        SCOPED_TRACE("design font");
        ExpectFixedTextsFit();
    }
    test::ScaleFonts(window, 2);
    // The window refits and the nested layouts follow, each in a round of events.
    for (int round = 0; round < 3; ++round)
        QApplication::processEvents();
    EXPECT_GT(window.maximumSize().height(), TMainWin::kDesignSize.height()) << "the window grows to fit";
    SCOPED_TRACE("doubled font");
    ExpectFixedTextsFit();
}

TEST_F(MainWindow, TheCardsTabHoldsTheProgrammerAboveTheKeyboardReaderAcrossItsWidth)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Child<QTabWidget>("AllSheetPgCtrl")->setCurrentIndex(static_cast<int>(WindowView::Tab::Cards));
    QApplication::processEvents();
    const QRect programmer = Child("TagPrgrGrpBox")->geometry();
    const QRect reader = Child("TagKbRdBox")->geometry();
    EXPECT_LT(programmer.bottom(), reader.top());
    EXPECT_EQ(programmer.left(), reader.left());
    EXPECT_EQ(programmer.width(), reader.width());
}

TEST_F(MainWindow, BuildsEachOtherPageWhenItsTabIsFirstShownAndDrawsItThen)
{
    auto* tabs = Child<QTabWidget>("AllSheetPgCtrl");
    for (const LaterPage& page : kLaterPages) {
        SCOPED_TRACE(page.control);
        const int index = static_cast<int>(page.tab);
        const QString sheet = tabs->widget(index)->objectName();
        EXPECT_EQ(window.findChild<QWidget*>(QLatin1String(page.control)), nullptr) << "built before shown";
        tabs->setCurrentIndex(index);
        EXPECT_EQ(tabs->currentIndex(), index);
        ASSERT_EQ(window.findChildren<QWidget*>(sheet).size(), 1) << "the empty sheet is left";
        EXPECT_EQ(tabs->widget(index)->objectName(), sheet);
        QWidget* control = Child(page.control);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(tabs->widget(index)->isAncestorOf(control));
        EXPECT_FALSE(control->isEnabled()) << "not drawn";
    }
}

TEST_F(MainWindow, BuildsTheOtherPagesOnceTheWindowIsUp)
{
    QApplication::processEvents();
    for (const LaterPage& page : kLaterPages)
        EXPECT_NE(window.findChild<QWidget*>(QLatin1String(page.control)), nullptr) << page.control;
}

TEST_F(MainWindow, AShownWindowDrawsTheReadersTabBeforeBuildingTheOtherPages)
{
    FirstPaintWatch watch(*Child("RdListGrid"), window);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&watch] { return watch.pagesBuilt.has_value(); }));
    EXPECT_FALSE(*watch.pagesBuilt) << "the first frame waits for no page out of sight";
    for (const LaterPage& page : kLaterPages)
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.findChild<QWidget*>(QLatin1String(page.control)); }))
            << page.control;
}

TEST_F(MainWindow, ASuccessBarRunsBeforeTheCardsTabWasEverShown)
{
    window.AnimateProgress(WindowView::SuccessBar::ConfigWritten);
    EXPECT_EQ(Child<QProgressBar>("TagWrCfgBar")->value(), 20);
}

TEST_F(MainWindow, ReadersTabDrawsTheManagerItsReadersAndTheSelection)
{
    // A box would block the test: count and close any that opens.
    std::vector<QString> boxes;
    QTimer boxWatch;
    QObject::connect(&boxWatch, &QTimer::timeout, [&boxes] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            boxes.push_back(modal->objectName());
            modal->close();
        }
    });
    boxWatch.start(0);

    Tick();
    auto* header = Child<QLabel>("RdManagerLbl");
    EXPECT_EQ(header->text(), "Brak QoZEL Managera");
    EXPECT_EQ(header->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    EXPECT_FALSE(Child("TabTypeLbl")->isEnabled());
    EXPECT_TRUE(boxes.empty());

    installation.Plug(Device::Manager);
    Tick();
    EXPECT_EQ(header->text(), "QoZEL Manager Nr: 49, Soft: 3");
    EXPECT_TRUE(Child("TabTypeLbl")->isEnabled());
    EXPECT_EQ(Child<QComboBox>("RdBaudCb")->currentText(), "9600");
    auto* grid = Child<ReaderGrid>("RdListGrid");
    EXPECT_EQ(grid->Look(2, ReaderRowCells::Nr).text, "259");  // the third reader on the bus, 0x0103
    EXPECT_TRUE(grid->Look(2, ReaderRowCells::Nr).enabled);
    EXPECT_FALSE(grid->Look(31, ReaderRowCells::Nr).enabled);

    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(grid)->tableInterface();
    for (int column = 0; column < ReaderRowCells::kColumns; ++column) {
        if (column != ReaderRowCells::Show) {
            EXPECT_EQ(table->cellAt(2, column)->text(QAccessible::Name), grid->Look(2, column).text) << column;
        }
    }

    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(2, ReaderRowCells::Type).center());
    const QColor lime(0, 0xFF, 0);
    for (int column = 0; column < ReaderRowCells::kDataCells; ++column)
        EXPECT_EQ(grid->Look(2, column).background, lime) << column;
    EXPECT_NE(grid->Look(1, ReaderRowCells::Type).background, lime);
    EXPECT_TRUE(Child("RdWrAddrBtn")->isEnabled());
    EXPECT_EQ(Child<QLineEdit>("RdAddrEdit")->text(), "3");
    EXPECT_TRUE(table->cellAt(2, ReaderRowCells::Type)->state().selected);

    // An address set by assistive technology, not typed, is the one written.
    QAccessibleInterface* address = QAccessible::queryAccessibleInterface(Child("RdAddrEdit"));
    address->editableTextInterface()->replaceText(0, address->textInterface()->characterCount(), "100");
    Child<QPushButton>("RdWrAddrBtn")->click();
    EXPECT_EQ(installation.manager->bus[2]->address, 100);
    EXPECT_TRUE(boxes.empty()) << boxes.front().toStdString();
}

TEST_F(MainWindow, ABoxOpensOverWhatTheModelsHold)
{
    QApplication::processEvents();  // the window is up and has built its pages
    std::array<std::uint8_t, 32> masterKey{};
    installation.programmer->PreloadKeys(masterKey, 0x5EED, true);
    installation.programmer->login.SetKey("admin", test::kAdminKey);
    installation.Plug(Device::Programmer);
    Child<QTabWidget>("AllSheetPgCtrl")->setCurrentIndex(static_cast<int>(WindowView::Tab::Cards));
    for (int i = 0; i < 3; ++i)
        Tick();  // opens the programmer, which logs it out
    ASSERT_TRUE(test::LogInAdmin(*installation.programmer));
    for (int i = 0; i < 3; ++i)
        Tick();  // its state shows the administrator, so no login dialog opens
    installation.programmer->PlaceCard(sim::SimCard::Blank({0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}));

    QString clearedUid;
    const test::OnModal cleared([&](QWidget* box) {
        clearedUid = Child<QLabel>("TagPrUidLbl")->text();
        box->close();
    });
    Child<QPushButton>("TagClearTagBtn")->click();
    EXPECT_EQ(clearedUid, "0411223344556677") << "the cleared card's UID stands under \"Karta skasowana.\"";

    // A card read before; reading the blank card now fails.
    CardsTabFields& fields = window.Cycle().cardsTab.Fields();
    fields.readUid = "AAAAAAAAAAAAAAAA";
    fields.readDepartment = "12";
    fields.readIndex = "34";
    window.Redraw();
    QStringList readShown;
    const test::OnModal refused([&](QWidget* box) {
        readShown << Child<QLabel>("TagRdUidLbl")->text() << Child<QLineEdit>("TagRdDepEdit")->text()
                  << Child<QLineEdit>("TagRdIdxEdit")->text();
        box->close();
    });
    Child<QPushButton>("TagReadTagBtn")->click();
    EXPECT_EQ(readShown, QStringList({"", "", ""})) << "the previous card's fields are gone under the error";
}

} // namespace
} // namespace qozel

// The Cards, Installation key and Recovery pages on the poll cycle over a
// simulated installation: their controls, what each set of devices enables
// and shows, the output rows, the grain field, the success bars, the focus
// and that no fixed text is clipped at the window font or twice its size.
#include "QtTestSupport.h"
#include "TextFit.h"

#include "app/CycleFixture.h"
#include "ui/CoreGate.h"
#include "ui/widgets/WindowFont.h"
#include "ui/pages/CardsPage.h"
#include "ui/pages/KeyPage.h"
#include "ui/pages/RecoveryPage.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>

namespace qozel::test {
namespace {

using Device = sim::SimInstallation::Device;

struct Fixed {
    const char* name;
    const char* text;  // caption, title or label text
};

const Fixed kFixedTexts[] = {
    {"TagPrgrGrpBox", " Programator QO-G30 "}, {"TagPrgrKeyTxtLbl", "Klucze w programatorze QO-G30:"},
    {"TagPrgrSygnTxtLbl", "Sygnatura kluczy:"}, {"TagPrgrInfoLbl", app_texts::kCardsPrgrInfo},
    {"TagKeysToPrgrBtn", "Pobierz do QO-G30 klucze z Arkan"}, {"TagSetUsrPassBtn", "Ustaw hasło Użytkownika"},
    {"TagPrgrInfo2Lbl", app_texts::kCardsPrgrInfo2}, {"TagProgrBox", " Programowanie kart "},
    {"TagPrUidTxtLbl", "UID:"},
    {"TagPrDepTxtLbl", "Wydział:"}, {"TagPrDepRngLbl", "(0..99999)"}, {"TagPrIdxTxtLbl", "Index:"},
    {"TagPrIdxRngLbl", "(0..99999)"}, {"TagClearTagBtn", "Kasuj"}, {"TagProgrTagBtn", "Programuj"},
    {"TagReadBox", " Odczyt kart "}, {"TagRdUidTxtLbl", "UID:"}, {"TagRdDepTxtLbl", "Wydział:"},
    {"TagRdIdxTxtLbl", "Index:"}, {"TagReadTagBtn", "Odczytaj"}, {"TagKbRdBox", " Czytnik klawiaturowy QO-K31 "},
    {"TagKbRdKeyTxtLbl", "Klucze w czytniku klawiaturowym QO-K31:"}, {"TagKbRdSygnTxtLbl", "Sygnatura kluczy:"},
    {"TagKeysToKbRdBtn", "Pobierz do QO-K31 klucze z Arkan"}, {"TagKbRdReadBox", " Odczyt karty "},
    {"TagCfgBox", " Konfiguracja "}, {"TagDataBox", " Dane odczytywane z karty QoZEL "}, {"TagDataHexLbl", "HEX"},
    {"TagDataChrLbl", "Znak poprz."}, {"TagIdBox", " Odczyt Identyfikatora RoRe telefonu "}, {"TagIdHexLbl", "HEX"},
    {"TagIdChrLbl", "Znak poprz."}, {"TagEndBox", " Na koniec "}, {"TagEndChrLbl", "Znak:"},
    {"TagEnterChkBx", "Enter"}, {"TagWrCfgBtn", "Zapisz"}, {"TagFieldChkBx0", "RoRe"}, {"TagFieldChkBx1", "UID"},
    {"TagFieldChkBx2", "Wydział"}, {"TagFieldChkBx3", "Index"},
    {"TagPrgrSigInfoLbl", app_texts::kSignatureMismatch}, {"TagKbRdSigInfoLbl", app_texts::kSignatureMismatch},
    {"ArkanGrpBx", " Arkan "}, {"KeyArKeyTxtLbl", "Klucz Master Instalacji w Arkan:"},
    {"KeyArSygnTxtLbl", "Sygnatura klucza:"}, {"KeyArInfoLbl", app_texts::kArInfo},
    {"ArkamKeyMIBtn", "Zapisz w Arkan wygenerowany klucz MI"}, {"KeyArInfo2Lbl", app_texts::kArInfo2},
    {"KeySetInstPassBtn", "Ustaw hasło Instalatora"}, {"KeyPrgrGrpBx", " Programator QO-G30 "},
    {"KeyPrgrKeyTxtLbl", "Klucze w programatorze QO-G30:"}, {"KeyPrgrSygnTxtLbl", "Sygnatura kluczy:"},
    {"KeyPrgrInfoLbl", app_texts::kKeyPrgrInfo}, {"KeyPrgrSigInfoLbl", app_texts::kSignatureMismatch},
    {"KeyKeysToPrgrBtn", "Pobierz do QO-G30 klucze z Arkan"}, {"KeyTagGrpBox", " Kopia zapasowa klucza na karcie "},
    {"KeyTagInfo1Lbl", app_texts::kTagInfo1},
    {"KeyTagInfo2Lbl", "Zarówno Arkan jak i karty zawierające kopię zapasową klucza Master Instalacji należy "
                       "przechowywać w sposób uniemożliwiający dostęp do nich osobom postronnym."},
    {"KeyTagInfo3Lbl", "Pustą kartę DesFire umieść na programatorze QO-G30. "},
    {"KeyGenKeyMiTagBtn", "Wygeneruj kartę z kopią zapasową klucza MI"},
    {"ArKmGrpBox", " Generowanie losowego Klucza Master Instalacji "}, {"KeyTmpRGrp", " Klucz "},
    {"KeyTmpRBtn", "Tymczasowy"}, {"KeyDocRBtn", "Docelowy"}, {"KeyTmpLbl", app_texts::kTemporaryExplanation},
    {"KeyNameLbl", "Symbol Firmy/Instalacji:"}, {"KeySygnLbl", "Sygnatura klucza:"},
    {"KeyGenKeyMiBtn", "Generuj klucz"},
    {"KeyMiLbl", "Klucz:"}, {"ArGrainGrpBox", " Ziarno "},
    {"KeyGrainDescrLbl", "W celu zgromadzenia losowego ziarna poklikaj w dowolne punkty pola poniżej."},
    {"KeyGrainDescr2Lbl", "Każde kliknięcie to 4 bajty losowych danych (x,y i czas w µs) domieszane do ziarna."},
    {"KeyGrainProgrLbl", "Poziom losowości:"},
    {"OdzPrgrResetBox", ""}, {"OdzPrgrResetTitle", "Reset QO-G30 do ustawień fabrycznych"},
    {"OdzPrgrResetLbl", app_texts::kPrgrResetInfo}, {"OdzPrgrResetBtn", "Resetuj QO-G30 do ustawień fabrycznych"},
    {"OdzArPassResetBox", ""}, {"OdzArPassResetTitle", "Odzyskiwanie dostępu do Arkan"},
    {"OdzArPassResetLbl", app_texts::kArPassResetInfo}, {"OdzArPassSetBtn", "Przywróć dostęp do Arkan"},
    {"OdzPassChngBox", ""}, {"OdzPassChngTitle", "Zmiana hasła administartora"},
    {"OdzPassChngLbl", app_texts::kPassChangeInfo}, {"OdzArPassChngBtn", "Zmień hasło w Arkan"},
    {"OdzPrgrPassChngBtn", "Zmień hasło w G30"}, {"OdzKeyMiFromTagBox", ""},
    {"OdzKeyMiFromTagTitle", "Odzyskiwanie klucza Master Instalacji"},
    {"OdzKeyMiFromTagLbl", app_texts::kKeyFromCardInfo},
    {"OdzKeyMiFromTagBtn", "Odzyskaj klucz MI z karty zapasowej"},
};

const Fixed kSpokenNames[] = {
    {"TagHexChkBx0", "RoRe: HEX"}, {"TagCharCb1", "UID: Znak poprz."}, {"TagHexChkBx3", "Index: HEX"},
};

using test::ShownText;
using test::Text;

// Whether `text` shows whole in `widget` after layout: a wrapping label is
// tall enough for its lines, another label large enough for its text, any
// other control wide enough.
bool Fits(const QWidget& widget, const QString& text)
{
    const QFontMetrics metrics = widget.fontMetrics();
    auto* label = qobject_cast<const QLabel*>(&widget);
    if (label && label->wordWrap())
        return label->heightForWidth(label->width()) <= label->height();
    if (label) {
        const QSize needed = metrics.boundingRect(QRect(), 0, text).size();
        const QSize room = label->contentsRect().size();
        return needed.width() <= room.width() && needed.height() <= room.height();
    }
    return metrics.horizontalAdvance(text) <= TextRoom(widget);
}

// What a control needs to be enabled or shown: the Arkan (S), the
// programmer (P), the keyboard reader (K), an Arkan without a target key
// (E) and a programmer whose signature differs from the Arkan's (M).
enum class Needs { Never, S, P, K, E, SandE, SandP, SorP, M };

// Each rule: what the controls named (separated by spaces) need.
struct Rule {
    Needs needs;
    const char* names;
};

const Rule kEnabled[] = {
    {Needs::P, "TagPrgrKeyTxtLbl TagPrgrSygnTxtLbl TagPrgrInfoLbl TagKeysToPrgrBtn TagSetUsrPassBtn TagPrUidTxtLbl "
               "TagPrUidLbl TagPrDepTxtLbl TagPrDepEdit TagPrDepRngLbl TagPrIdxTxtLbl TagPrIdxEdit TagPrIdxRngLbl "
               "TagClearTagBtn TagProgrTagBtn TagRdUidTxtLbl TagRdUidLbl TagRdDepTxtLbl TagRdIdxTxtLbl TagReadTagBtn "
               "TagPrgrInfo2Lbl "
               "KeyPrgrKeyTxtLbl KeyPrgrSygnTxtLbl KeyPrgrInfoLbl OdzPrgrResetTitle OdzPrgrResetLbl OdzPrgrResetBtn "
               "OdzPrgrPassChngBtn"},
    // Of the output rows only UID is typed at first.
    {Needs::K, "TagKbRdKeyTxtLbl TagKbRdSygnTxtLbl TagKeysToKbRdBtn TagKbRdWin TagDataChrLbl TagDataHexLbl "
               "TagIdChrLbl TagIdHexLbl TagEndChrLbl TagEndCharCb TagEnterChkBx TagWrCfgBtn TagFieldChkBx0 "
               "TagFieldChkBx1 TagFieldChkBx2 TagFieldChkBx3 TagHexChkBx1 TagCharCb1"},
    {Needs::Never, "TagRdDepEdit TagRdIdxEdit TagHexChkBx0 TagCharCb0 TagHexChkBx2 TagCharCb3"},
    {Needs::S, "KeyArKeyTxtLbl KeyArSygnTxtLbl KeyArInfoLbl KeyArInfo2Lbl KeySetInstPassBtn OdzArPassResetTitle "
               "OdzArPassResetLbl OdzArPassSetBtn OdzArPassChngBtn OdzKeyMiFromTagTitle OdzKeyMiFromTagLbl "
               "OdzKeyMiFromTagBtn"},
    {Needs::SandE, "ArkamKeyMIBtn"},
    {Needs::SandP, "KeyKeysToPrgrBtn KeyTagInfo1Lbl KeyTagInfo2Lbl KeyTagInfo3Lbl KeyGenKeyMiTagBtn"},
    {Needs::E, "KeyNameLbl KeyTmpRGrp KeyTmpLbl KeySygnLbl KeyMiLbl KeyGenKeyMiBtn"},
    {Needs::SorP, "OdzPassChngTitle OdzPassChngLbl"},
};

const Rule kShown[] = {
    {Needs::P, "TagPrgrKeyLbl TagPrgrSygnLbl KeyPrgrKeyLbl KeyPrgrSygnLbl"},
    {Needs::K, "TagKbRdKeyLbl TagKbRdSygnLbl"},
    {Needs::S, "KeyArKeyLbl KeyArSygnLbl"},
    {Needs::M, "TagPrgrSigInfoLbl KeyPrgrSigInfoLbl"},
    {Needs::Never, "TagKbRdSigInfoLbl TagProgrTagBar TagWrCfgBar"},
};

enum class Arkan { Absent, Fresh, WithTargetKey };

struct Devices {
    Arkan arkan;
    bool programmer;
    bool reader;

    bool Meets(Needs needs) const
    {
        const bool s = arkan != Arkan::Absent;
        const bool e = arkan != Arkan::WithTargetKey;
        switch (needs) {
        case Needs::Never: return false;
        case Needs::S: return s;
        case Needs::P: return programmer;
        case Needs::K: return reader;
        case Needs::E: return e;
        case Needs::SandE: return s && e;
        case Needs::SandP: return s && programmer;
        case Needs::SorP: return s || programmer;
        case Needs::M: return !e && programmer;  // the programmer's keys are not the target key's
        }
        return false;
    }
};

class TabPages : public CycleTest {
protected:
    void SetUp() override
    {
        std::array<std::uint8_t, 32> masterKey{};
        install.programmer->PreloadKeys(masterKey, 0x5EED, true);
        for (QWidget* page : Pages())
            page->setFont(WindowFont(8));  // as in the main window
        Pass(3);
        ShowEveryTab();
    }

    std::array<QWidget*, 3> Pages() { return {&cards, &key, &recovery}; }

    template <class T = QWidget>
    T* Child(const QString& name)
    {
        for (QWidget* page : Pages())
            if (T* child = page->findChild<T*>(name))
                return child;
        ADD_FAILURE() << "no " << name.toStdString();
        return nullptr;
    }

    // Each tab's full redraw on showing it, then every page draws.
    void ShowEveryTab()
    {
        view.tab = WindowView::Tab::Cards;
        cycle.cardsTab.RefreshCardsTab();
        view.tab = WindowView::Tab::Key;
        cycle.keyTab.RefreshKeyTab();
        view.tab = WindowView::Tab::Recovery;
        cycle.recoveryTab.RefreshRecoveryTab();
        cards.Sync();
        key.Sync();
        recovery.Sync();
    }

    void Attach(const Devices& devices)
    {
        for (Device device : {Device::Arkan, Device::Programmer, Device::KbReader})
            install.Unplug(device);
        Pass(3);
        if (devices.arkan == Arkan::WithTargetKey)
            install.arkan->PreloadMasterKey({false, {}, 0x1111, {}});
        if (devices.arkan != Arkan::Absent)
            install.Plug(Device::Arkan);
        if (devices.programmer)
            install.Plug(Device::Programmer);
        if (devices.reader)
            install.Plug(Device::KbReader);
        Pass(3);
        ShowEveryTab();
    }

    CoreGate gate;
    CardsPage cards{cycle, gate, nullptr};
    KeyPage key{cycle, gate, nullptr};
    RecoveryPage recovery{cycle, gate, nullptr};
};

TEST_F(TabPages, HoldTheirControlsWithTheirNamesAndTexts)
{
    EXPECT_EQ(cards.objectName(), "TagTabSheet");
    EXPECT_EQ(key.objectName(), "KeyTabSheet");
    EXPECT_EQ(recovery.objectName(), "OdzTabSheet");
    for (const Fixed& fixed : kFixedTexts)
        EXPECT_EQ(ShownText(*Child(fixed.name)), Text(fixed.text)) << fixed.name;
    for (const Fixed& fixed : kSpokenNames)
        EXPECT_EQ(Child(fixed.name)->accessibleName(), Text(fixed.text)) << fixed.name;
    for (const char* name : {"TagCharCb0", "TagCharCb1", "TagCharCb2", "TagCharCb3", "TagEndCharCb"}) {
        QStringList items;
        auto* list = Child<QComboBox>(name);
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        EXPECT_EQ(items.join(u' '), "brak Sp. Tab , ; . : * # - _ / \\ |") << name;
    }
}

TEST_F(TabPages, EnableAndShowEachControlByTheDevicesPresent)
{
    const QColor red(0xFF, 0, 0);
    for (Arkan arkan : {Arkan::Absent, Arkan::Fresh, Arkan::WithTargetKey})
        for (bool programmer : {false, true})
            for (bool reader : {false, true}) {
                const Devices devices{arkan, programmer, reader};
                SCOPED_TRACE(testing::Message() << "Arkan " << int(arkan) << ", programmer " << programmer
                                                << ", reader " << reader);
                Attach(devices);
                for (const Rule& rule : kEnabled)
                    for (const QString& name : QString::fromLatin1(rule.names).split(u' '))
                        EXPECT_EQ(Child(name)->isEnabled(), devices.Meets(rule.needs)) << name.toStdString();
                for (const Rule& rule : kShown)
                    for (const QString& name : QString::fromLatin1(rule.names).split(u' '))
                        EXPECT_EQ(!Child(name)->isHidden(), devices.Meets(rule.needs)) << name.toStdString();
                EXPECT_EQ(Child("TagPrgrSygnLbl")->palette().color(QPalette::WindowText) == red,
                          devices.Meets(Needs::M));
            }
}

TEST_F(TabPages, AnUntypedFieldDisablesItsHexBoxAndListAndDrawsTheListRegular)
{
    auto* list = Child<QComboBox>("TagCharCb1");
    Child<QCheckBox>("TagFieldChkBx1")->click();
    EXPECT_FALSE(cycle.cardsTab.Fields().outputFields[1].typed);
    EXPECT_FALSE(Child("TagHexChkBx1")->isEnabled());
    EXPECT_FALSE(list->isEnabled());
    EXPECT_FALSE(list->font().bold());
    Child<QCheckBox>("TagFieldChkBx1")->click();
    EXPECT_TRUE(list->isEnabled());
    EXPECT_TRUE(list->font().bold());
}

TEST_F(TabPages, AClickInTheGrainFieldFeedsTheGrain)
{
    QTest::mousePress(Child<QPlainTextEdit>("KeyGrainMemo")->viewport(), Qt::LeftButton, {}, QPoint(10, 20));
    EXPECT_EQ(cycle.keyTab.Fields().level, 4);
    EXPECT_EQ(Child<QProgressBar>("KeyGrainProgrBar")->value(), 4);
}

TEST_F(TabPages, TheSymbolTakesEightCharactersWindows1250Carries)
{
    TypeText(Child("KeyNameEdit"), QString::fromUtf8("Łódź漢€abcd"));
    EXPECT_EQ(cycle.keyTab.Fields().symbol, "Łódź€abc");
}

TEST_F(TabPages, AFieldSetByAssistiveTechnologyIsWhatTheModelUses)
{
    const struct {
        const char* field;
        const char* text;
        const std::string& used;
    } cases[] = {
        {"TagPrDepEdit", "123", cycle.cardsTab.Fields().department},
        {"TagPrIdxEdit", "4567", cycle.cardsTab.Fields().index},
        {"KeyNameEdit", "Firma", cycle.keyTab.Fields().symbol},
    };
    for (const auto& c : cases) {
        QAccessibleInterface* field = QAccessible::queryAccessibleInterface(Child(c.field));
        field->editableTextInterface()->replaceText(0, field->textInterface()->characterCount(), c.text);
        EXPECT_EQ(c.used, c.text) << c.field;
    }
}

TEST_F(TabPages, EachSuccessRunsItsOwnBar)
{
    cards.Animate(WindowView::SuccessBar::ConfigWritten);
    EXPECT_EQ(Child<QProgressBar>("TagWrCfgBar")->value(), 20);
    EXPECT_TRUE(Child("TagWrCfgBar")->isHidden());
    EXPECT_NE(Child<QProgressBar>("TagProgrTagBar")->value(), 20);
}

TEST_F(TabPages, TheCardsTabGivesTheFocusToTheTextAreaUnlessANumberIsBeingTyped)
{
    cards.show();
    cards.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&cards));
    Child("TagPrDepEdit")->setFocus();
    ShowEveryTab();
    EXPECT_TRUE(Child("TagPrDepEdit")->hasFocus());
    Child("TagReadTagBtn")->setFocus();
    ShowEveryTab();
    EXPECT_TRUE(Child("TagKbRdWin")->hasFocus());
}

// A box shown by one call into the core runs a nested event loop, which
// still delivers clicks; such a click, or one after the window closed, must
// not start a second call into the devices.
TEST_F(TabPages, AClickWhileABoxIsOpenOrAfterTheWindowClosedStartsNothing)
{
    Attach({Arkan::Fresh, true, true});
    std::vector<sim::ScriptedPrompts::Kind> shown;
    prompts.whileShown = [&](const sim::ScriptedPrompts::Shown& box) {
        shown.push_back(box.kind);
        if (shown.size() == 1)
            Child<QAbstractButton>("TagSetUsrPassBtn")->click();
    };
    Child<QAbstractButton>("OdzArPassChngBtn")->click();
    EXPECT_EQ(shown.size(), 1u) << "only the box of the first click";

    gate.Close();
    shown.clear();
    for (const char* button : {"TagSetUsrPassBtn", "KeySetInstPassBtn", "OdzArPassChngBtn"})
        Child<QAbstractButton>(button)->click();
    EXPECT_TRUE(shown.empty());
}

class TabPagesFonts : public TabPages, public testing::WithParamInterface<int> {};

TEST_P(TabPagesFonts, ClipNoFixedText)
{
    Attach({Arkan::WithTargetKey, true, true});  // shows the mismatch labels
    for (QWidget* page : Pages()) {
        ScaleFonts(*page, GetParam());
        page->resize(page->sizeHint().width(), page->heightForWidth(page->sizeHint().width()));
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page));
    }
    for (const Fixed& fixed : kFixedTexts) {
        const QWidget& widget = *Child(fixed.name);
        if (widget.isHidden())
            continue;
        EXPECT_TRUE(Fits(widget, Text(fixed.text))) << fixed.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Scale, TabPagesFonts, testing::Values(1, 2));

} // namespace
} // namespace qozel::test

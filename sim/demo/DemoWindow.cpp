#include "DemoWindow.h"

#include "DemoInstallation.h"

#include "devices/DevInfo.h"
#include "ui/widgets/Utf8.h"
#include "ui/widgets/WindowAccessible.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <string_view>
#include <utility>

namespace qozel::sim {
namespace {

using Device = DemoInstallation::Device;

constexpr int kSyncMs = 250;
// The keyboard reader types one key every few milliseconds.
constexpr int kKeyMs = 2;

template <class W>
W* Named(W* widget, const char* objectName, const QString& accessibleName)
{
    widget->setObjectName(QLatin1String(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QPushButton* Button(const char* objectName, const char* text, QWidget* parent)
{
    return Named(new QPushButton(FromUtf8(text), parent), objectName, FromUtf8(text));
}

QCheckBox* CheckBox(const char* objectName, const char* text, QWidget* parent)
{
    return Named(new QCheckBox(FromUtf8(text), parent), objectName, FromUtf8(text));
}

QLabel* Label(const char* objectName, const char* text, QWidget* parent)
{
    return Named(new QLabel(FromUtf8(text), parent), objectName, FromUtf8(text));
}

QGroupBox* Group(const char* objectName, const char* title, QWidget* parent)
{
    return Named(new QGroupBox(FromUtf8(title), parent), objectName, FromUtf8(title));
}

// A row of a label and the field it names; the field takes the spare width.
QHBoxLayout* LabelledRow(QLabel* label, QWidget* field)
{
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(field, 1);
    return row;
}

// A list as wide as its widest expected item, whatever the items are now.
QComboBox* List(const char* objectName, const char* accessibleName, std::string_view widestItem, QWidget* parent)
{
    auto* list = Named(new QComboBox(parent), objectName, FromUtf8(accessibleName));
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(static_cast<int>(FromUtf8(widestItem).size()));
    return list;
}

// Replaces the items when they differ, keeping the choice where it can.
void SetItems(QComboBox& list, const QStringList& items, int choice)
{
    QStringList shown;
    for (int i = 0; i < list.count(); ++i)
        shown << list.itemText(i);
    const QSignalBlocker quiet(&list);
    if (shown != items) {
        list.clear();
        list.addItems(items);
    }
    list.setCurrentIndex(items.isEmpty() ? -1 : std::clamp(choice, 0, static_cast<int>(items.size()) - 1));
}

// Qt's key for a character the reader types.
int QtKey(char c)
{
    if (c == '\r')
        return Qt::Key_Return;
    if (c == '\t')
        return Qt::Key_Tab;
    if (c >= 'a' && c <= 'z')
        return Qt::Key_A + (c - 'a');
    return static_cast<unsigned char>(c);  // printable ASCII: the key code is the character
}

const char* DeviceObjectName(Device device)
{
    switch (device) {
    case Device::Arkan: return "ArkanPlugChkBx";
    case Device::Programmer: return "PrgrPlugChkBx";
    case Device::KbReader: return "KbRdPlugChkBx";
    case Device::Manager: return "ManPlugChkBx";
    }
    return "";
}

} // namespace

DemoWindow::DemoWindow(DemoInstallation& installation, QWidget& mainWindow)
    : QWidget(nullptr, Qt::Window), installation_(installation), mainWindow_(mainWindow)
{
    ExposeAsWindow(*this);
    setObjectName(QStringLiteral("DemoWin"));
    setWindowTitle(FromUtf8("Wirtualna instalacja"));
    setAccessibleName(windowTitle());
    // Closing the main window ends the demo; this one alone does not keep it running.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    BuildDevices(*layout);
    BuildCards(*layout);
    BuildBus(*layout);
    BuildKbReader(*layout);
    statusLbl_ = Label("StatusLbl", "", this);
    statusLbl_->setAccessibleName(FromUtf8("Wynik"));
    statusLbl_->setWordWrap(true);
    statusLbl_->setMinimumHeight(3 * statusLbl_->fontMetrics().lineSpacing());
    statusLbl_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(statusLbl_);

    typist_ = new QTimer(this);
    typist_->setInterval(kKeyMs);
    connect(typist_, &QTimer::timeout, this, &DemoWindow::TypeNextKey);
    // The program changes the installation too (addresses, reading modes, cards).
    syncTimer_ = new QTimer(this);
    syncTimer_->setInterval(kSyncMs);
    connect(syncTimer_, &QTimer::timeout, this, &DemoWindow::Sync);
    syncTimer_->start();
    Sync();
}

void DemoWindow::BuildDevices(QVBoxLayout& layout)
{
    QGroupBox* group = Group("DevicesGrpBx", " Urządzenia USB ", this);
    auto* grid = new QGridLayout(group);
    for (std::size_t i = 0; i < DemoInstallation::kDevices.size(); ++i) {
        const Device device = DemoInstallation::kDevices[i];
        const QString name = FromUtf8(DemoInstallation::DeviceName(device));
        auto* box = Named(new QCheckBox(name, group), DeviceObjectName(device), FromUtf8("Podłączony: ") + name);
        connect(box, &QCheckBox::toggled, this,
                [this, device](bool plugged) { Show(installation_.SetPlugged(device, plugged)); });
        grid->addWidget(box, static_cast<int>(i / 2), static_cast<int>(i % 2));
        plugBoxes_[i] = box;
    }
    layout.addWidget(group);
}

void DemoWindow::BuildCards(QVBoxLayout& layout)
{
    QGroupBox* group = Group("CardsGrpBx", " Karty ", this);
    auto* box = new QVBoxLayout(group);
    cardCb_ = List("CardCb", "Karta", "04A1B2C3D4E5F607: zaprogramowana (wydział 99999, index 99999), na programatorze",
                   group);
    box->addLayout(LabelledRow(Label("CardLbl", "Karta:", group), cardCb_));

    auto* buttons = new QHBoxLayout;
    QPushButton* newCard = Button("NewCardBtn", "Nowa pusta karta na programator", group);
    QPushButton* place = Button("PlaceCardBtn", "Połóż na programatorze", group);
    QPushButton* take = Button("TakeCardBtn", "Zdejmij z programatora", group);
    connect(newCard, &QPushButton::clicked, this, [this] {
        Show(installation_.PlaceNewBlankCard());
        cardCb_->setCurrentIndex(cardCb_->count() - 1);
    });
    connect(place, &QPushButton::clicked, this,
            [this] { Show(installation_.PlaceCard(static_cast<std::size_t>(SelectedCard()))); });
    connect(take, &QPushButton::clicked, this, [this] { Show(installation_.TakeCardOff()); });
    for (QPushButton* button : {newCard, place, take})
        buttons->addWidget(button);
    box->addLayout(buttons);
    layout.addWidget(group);
}

void DemoWindow::BuildBus(QVBoxLayout& layout)
{
    QGroupBox* group = Group("BusGrpBx", " Czytniki na magistrali ZEL Managera ", this);
    auto* box = new QVBoxLayout(group);

    readerCb_ = List("ReaderCb", "Czytnik", "32. QO-L74 Nr: 65535, adres 126, inna prędkość niż magistrala", group);
    connect(readerCb_, &QComboBox::currentIndexChanged, this, &DemoWindow::Sync);
    box->addLayout(LabelledRow(Label("ReaderLbl", "Czytnik:", group), readerCb_));

    auto* wiring = new QHBoxLayout;
    connectedChkBx_ = CheckBox("ReaderConnectedChkBx", "Podłączony do magistrali", group);
    connect(connectedChkBx_, &QCheckBox::toggled, this, [this](bool connected) {
        Show(installation_.SetReaderConnected(static_cast<std::size_t>(SelectedReader()), connected));
    });
    removeReaderBtn_ = Button("RemoveReaderBtn", "Usuń z magistrali", group);
    connect(removeReaderBtn_, &QPushButton::clicked, this,
            [this] { Show(installation_.RemoveReader(static_cast<std::size_t>(SelectedReader()))); });
    wiring->addWidget(connectedChkBx_);
    wiring->addStretch();
    wiring->addWidget(removeReaderBtn_);
    box->addLayout(wiring);

    typeCb_ = Named(new QComboBox(group), "TypeCb", FromUtf8("Typ nowego czytnika"));
    for (std::uint16_t type : DemoInstallation::kReaderTypes) {
        QString name = FromUtf8(ShortName(DevInfo{0, type, 0, 0}));
        if (type == 774)
            name += FromUtf8(" (moduł z dwoma czytnikami)");
        typeCb_->addItem(name, type);
    }
    QPushButton* add = Button("AddReaderBtn", "Dodaj do magistrali", group);
    connect(add, &QPushButton::clicked, this, [this] {
        Show(installation_.AddReader(static_cast<std::uint16_t>(typeCb_->currentData().toUInt())));
        readerCb_->setCurrentIndex(readerCb_->count() - 1);
    });
    QHBoxLayout* adding = LabelledRow(Label("NewReaderLbl", "Nowy czytnik:", group), typeCb_);
    adding->addWidget(add);
    box->addLayout(adding);

    QGroupBox* at = Group("AtReaderGrpBx", " Przy wybranym czytniku ", group);
    atReaderGrp_ = at;
    auto* grid = new QGridLayout(at);
    QPushButton* card = Button("PresentCardBtn", "Przyłóż wybraną kartę", at);
    QPushButton* backup = Button("PresentBackupBtn", "Przyłóż kartę zapasową", at);
    QPushButton* phone = Button("PresentPhoneBtn", "Przyłóż telefon (RoRe)", at);
    connect(card, &QPushButton::clicked, this, [this] {
        Show(installation_.PresentCard(static_cast<std::size_t>(SelectedReader()),
                                       static_cast<std::size_t>(SelectedCard())));
    });
    connect(backup, &QPushButton::clicked, this,
            [this] { Show(installation_.PresentBackupCard(static_cast<std::size_t>(SelectedReader()))); });
    connect(phone, &QPushButton::clicked, this,
            [this] { Show(installation_.PresentPhone(static_cast<std::size_t>(SelectedReader()))); });
    grid->addWidget(card, 0, 0);
    grid->addWidget(backup, 0, 1);
    grid->addWidget(phone, 0, 2);

    pinEdit_ = Named(new QLineEdit(QStringLiteral("1234"), at), "PinEdit", FromUtf8("PIN"));
    pinEdit_->setMaxLength(8);
    pinEdit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9*#]{0,8}")), pinEdit_));
    QPushButton* typePin = Button("TypePinBtn", "Wpisz PIN", at);
    connect(typePin, &QPushButton::clicked, this, [this] {
        Show(installation_.TypePin(static_cast<std::size_t>(SelectedReader()), pinEdit_->text().toStdString()));
    });
    QHBoxLayout* pin = LabelledRow(Label("PinLbl", "PIN:", at), pinEdit_);
    pin->addWidget(typePin);
    grid->addLayout(pin, 1, 0, 1, 3);

    tamper1ChkBx_ = CheckBox("Tamper1ChkBx", "Sabotaż 1", at);
    tamper2ChkBx_ = CheckBox("Tamper2ChkBx", "Sabotaż 2", at);
    powerChkBx_ = CheckBox("PowerFaultChkBx", "Awaria zasilania", at);
    for (QCheckBox* input : {tamper1ChkBx_, tamper2ChkBx_, powerChkBx_})
        connect(input, &QCheckBox::toggled, this, &DemoWindow::SendInputs);
    grid->addWidget(tamper1ChkBx_, 2, 0);
    grid->addWidget(tamper2ChkBx_, 2, 1);
    grid->addWidget(powerChkBx_, 2, 2);
    box->addWidget(at);
    layout.addWidget(group);
}

void DemoWindow::BuildKbReader(QVBoxLayout& layout)
{
    QGroupBox* group = Group("KbRdGrpBx", " Czytnik klawiaturowy QO-K31 ", this);
    auto* box = new QVBoxLayout(group);
    QLabel* info = Label("KbRdInfoLbl",
                         "Czytnik wpisuje odczytane dane jak klawiatura, do aktywnego pola okna programu "
                         "(na zakładce „Karty” do pola „Odczyt karty”).",
                         group);
    info->setWordWrap(true);
    box->addWidget(info);
    auto* buttons = new QHBoxLayout;
    QPushButton* card = Button("KbRdCardBtn", "Przyłóż wybraną kartę do QO-K31", group);
    QPushButton* phone = Button("KbRdPhoneBtn", "Przyłóż telefon (RoRe) do QO-K31", group);
    connect(card, &QPushButton::clicked, this, [this] {
        const auto typing = installation_.KbReaderReadsCard(static_cast<std::size_t>(SelectedCard()));
        Show(typing.outcome);
        Type(typing.keys);
    });
    connect(phone, &QPushButton::clicked, this, [this] {
        const auto typing = installation_.KbReaderReadsPhone();
        Show(typing.outcome);
        Type(typing.keys);
    });
    buttons->addWidget(card);
    buttons->addWidget(phone);
    box->addLayout(buttons);
    layout.addWidget(group);
}

void DemoWindow::PlaceBesideMainWindow()
{
    const QRect main = mainWindow_.frameGeometry();
    const QRect area = mainWindow_.screen()->availableGeometry();
    const QSize size = frameGeometry().size();
    // Both windows side by side and centred when the screen is wide enough;
    // otherwise this one at the screen's right edge, over the main window.
    int left = area.right() + 1 - size.width();
    if (main.width() + size.width() <= area.width()) {
        const int mainLeft = area.left() + (area.width() - main.width() - size.width()) / 2;
        mainWindow_.move(mainLeft, main.top());
        left = mainLeft + main.width();
    }
    move(std::max(left, area.left()),
         std::clamp(main.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
}

int DemoWindow::SelectedReader() const
{
    return readerCb_->currentIndex();
}

int DemoWindow::SelectedCard() const
{
    return cardCb_->currentIndex();
}

void DemoWindow::Show(const DemoOutcome& outcome)
{
    statusLbl_->setText(FromUtf8(outcome.text));
    Sync();
}

void DemoWindow::SendInputs()
{
    const DemoInstallation::Inputs inputs{tamper1ChkBx_->isChecked(), tamper2ChkBx_->isChecked(),
                                          powerChkBx_->isChecked()};
    Show(installation_.SetInputs(static_cast<std::size_t>(SelectedReader()), inputs));
}

void DemoWindow::Sync()
{
    for (std::size_t i = 0; i < plugBoxes_.size(); ++i) {
        const QSignalBlocker quiet(plugBoxes_[i]);
        plugBoxes_[i]->setChecked(installation_.IsPlugged(DemoInstallation::kDevices[i]));
    }

    QStringList cards;
    for (std::size_t i = 0; i < installation_.CardCount(); ++i)
        cards << FromUtf8(installation_.CardText(i));
    SetItems(*cardCb_, cards, SelectedCard());

    QStringList readers;
    for (std::size_t i = 0; i < installation_.ReaderCount(); ++i)
        readers << FromUtf8(installation_.ReaderText(i));
    SetItems(*readerCb_, readers, SelectedReader());

    const int reader = SelectedReader();
    const bool chosen = reader >= 0;
    for (QWidget* control : std::initializer_list<QWidget*>{connectedChkBx_, removeReaderBtn_, atReaderGrp_})
        control->setEnabled(chosen);
    const auto index = static_cast<std::size_t>(std::max(reader, 0));
    const DemoInstallation::Inputs inputs = installation_.InputsOf(index);
    const std::pair<QCheckBox*, bool> states[] = {
        {connectedChkBx_, chosen && installation_.manager->bus[index]->connected},
        {tamper1ChkBx_, inputs.tamper1},
        {tamper2ChkBx_, inputs.tamper2},
        {powerChkBx_, inputs.powerFault}};
    for (const auto& [box, checked] : states) {
        const QSignalBlocker quiet(box);
        box->setChecked(checked);
    }
}

void DemoWindow::Type(const std::vector<KeyStroke>& keys)
{
    keysToType_.insert(keysToType_.end(), keys.begin(), keys.end());
    if (!keysToType_.empty())
        typist_->start();
}

void DemoWindow::TypeNextKey()
{
    if (keysToType_.empty()) {
        typist_->stop();
        return;
    }
    const KeyStroke key = keysToType_.front();
    keysToType_.pop_front();
    // Into whatever has the focus in the main window now, as a keyboard would.
    QWidget* target = mainWindow_.focusWidget() ? mainWindow_.focusWidget() : &mainWindow_;
    const Qt::KeyboardModifiers modifiers = key.shift ? Qt::ShiftModifier : Qt::NoModifier;
    const QString text = QString(QChar(QLatin1Char(key.character)));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, QtKey(key.character), modifiers, text));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, QtKey(key.character), modifiers, text));
    if (keysToType_.empty())
        typist_->stop();
}

} // namespace qozel::sim

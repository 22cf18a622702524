#include "ui/pages/KeyPage.h"

#include "app/PollCycle.h"
#include "security/KeyGrain.h"
#include "ui/widgets/Utf8.h"
#include "ui/widgets/WidgetSync.h"
#include "ui/widgets/EnableAll.h"
#include "ui/widgets/PageActions.h"
#include "ui/widgets/PageFonts.h"
#include "ui/widgets/SetUpForm.h"
#include "ui/widgets/Win1250Validator.h"
#include "ui_KeyPage.h"

#include <QMouseEvent>

namespace qozel {
namespace {

constexpr const char* kGrainPrompt = "W celu zgromadzenia losowego ziarna poklikaj w dowolne punkty pola poniżej.";
constexpr int kFieldPoints = 8;

} // namespace

KeyPage::KeyPage(PollCycle& cycle, CoreGate& gate, QWidget* parent)
    : QWidget(parent),
      cycle_(cycle),
      gate_(gate),
      ui_(SetUpForm<Ui::KeyPage>(*this)),
      arkanPane_({ui_->KeyArLbl, ui_->KeyArKeyTxtLbl, ui_->KeyArKeyLbl, ui_->KeyArSygnTxtLbl, ui_->KeyArSygnLbl,
                  nullptr, {ui_->KeyArInfoLbl, ui_->KeyArInfo2Lbl, ui_->KeySetInstPassBtn}}),
      programmerPane_({ui_->KeyPrgrLbl, ui_->KeyPrgrKeyTxtLbl, ui_->KeyPrgrKeyLbl, ui_->KeyPrgrSygnTxtLbl,
                       ui_->KeyPrgrSygnLbl, ui_->KeyPrgrSigInfoLbl, {ui_->KeyPrgrInfoLbl}})
{
    SetUpControls();
    ConnectEdits();
    KeyTab& tab = cycle_.keyTab;
    OnClick(*this, gate_, *ui_->KeyGenKeyMiBtn, tab, &KeyTab::KeyGenKeyMiBtnClick);
    OnClick(*this, gate_, *ui_->ArkamKeyMIBtn, tab, &KeyTab::ArkamKeyMIBtnClick);
    OnClick(*this, gate_, *ui_->KeySetInstPassBtn, tab, &KeyTab::KeySetInstPassBtnClick);
    OnClick(*this, gate_, *ui_->KeyKeysToPrgrBtn, tab, &KeyTab::KeyKeysToPrgrBtnClick);
    OnClick(*this, gate_, *ui_->KeyGenKeyMiTagBtn, tab, &KeyTab::KeyGenKeyMiTagBtnClick);
    Sync();
}

KeyPage::~KeyPage() = default;

void KeyPage::SetUpControls()
{
    ui_->KeyArInfoLbl->setText(FromUtf8(app_texts::kArInfo));
    ui_->KeyArInfo2Lbl->setText(FromUtf8(app_texts::kArInfo2));
    ui_->KeyPrgrInfoLbl->setText(FromUtf8(app_texts::kKeyPrgrInfo));
    ui_->KeyTagInfo1Lbl->setText(FromUtf8(app_texts::kTagInfo1));
    for (QLineEdit* field :
         {ui_->KeyNameEdit, ui_->KeySygnEdit, ui_->KeyMiEdit, ui_->KeyGrain0Edit, ui_->KeyGrain1Edit})
        field->setFont(CourierFont(kFieldPoints));
    ui_->KeyNameEdit->setValidator(new Win1250Validator(ui_->KeyNameEdit));
    QWidget* grainField = ui_->KeyGrainMemo->viewport();
    grainField->setCursor(Qt::ArrowCursor);
    grainField->installEventFilter(this);
}

// The symbol is taken whatever sets it, so the buttons use what the field
// shows; drawing sets it to the model's value, so its echo changes nothing.
// The other signals come only from the user.
void KeyPage::ConnectEdits()
{
    KeyTabFields& fields = cycle_.keyTab.Fields();
    auto chooseKind = [this, &fields](bool target) {
        fields.target = target;
        Sync();
    };
    connect(ui_->KeyTmpRBtn, &QRadioButton::clicked, this, [chooseKind] { chooseKind(false); });
    connect(ui_->KeyDocRBtn, &QRadioButton::clicked, this, [chooseKind] { chooseKind(true); });
    connect(ui_->KeyNameEdit, &QLineEdit::textChanged, this, [&fields](const QString& text) {
        fields.symbol = text.toStdString();
    });
}

bool KeyPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->KeyGrainMemo->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        ActAndSync(*this, gate_, [this, at] { cycle_.keyTab.KeyGrainMemoMouseDown(at.x(), at.y()); });
    }
    return QWidget::eventFilter(watched, event);
}

void KeyPage::Sync()
{
    KeyTab& tab = cycle_.keyTab;
    if (tab.TakeChanged())
        Draw(tab.Fields());
}

void KeyPage::Draw(const KeyTabFields& fields)
{
    arkanPane_.Draw(fields.arkan);
    programmerPane_.Draw(fields.programmer);
    EnableAll({ui_->KeyKeysToPrgrBtn, ui_->KeyTagInfo1Lbl, ui_->KeyTagInfo2Lbl, ui_->KeyTagInfo3Lbl,
               ui_->KeyGenKeyMiTagBtn},
              fields.arkan.present && fields.programmer.present);
    ui_->ArkamKeyMIBtn->setEnabled(fields.arkan.present && fields.editable);
    EnableAll({ui_->KeyNameLbl, ui_->KeyTmpRGrp, ui_->KeyTmpLbl, ui_->KeySygnLbl, ui_->KeyMiLbl, ui_->KeyGenKeyMiBtn},
              fields.editable);

    (fields.target ? ui_->KeyDocRBtn : ui_->KeyTmpRBtn)->setChecked(true);
    ui_->KeyTmpLbl->setText(FromUtf8(fields.target ? app_texts::kTargetExplanation : app_texts::kTemporaryExplanation));
    SyncBold(*ui_->KeyTmpLbl, fields.target);
    SyncText(*ui_->KeyNameEdit, FromUtf8(fields.symbol));
    SyncText(*ui_->KeySygnEdit, FromUtf8(fields.signature));
    SyncText(*ui_->KeyMiEdit, FromUtf8(fields.key));

    ui_->KeyGrainDescrLbl->setText(FromUtf8(fields.grainSufficient ? kGrainSufficientText : kGrainPrompt));
    SyncText(*ui_->KeyGrain0Edit, FromUtf8(fields.grainFirstHalf));
    SyncText(*ui_->KeyGrain1Edit, FromUtf8(fields.grainSecondHalf));
    ui_->KeyGrainProgrBar->setValue(fields.level);
}

} // namespace qozel

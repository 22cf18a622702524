#include "ui/pages/CardsPage.h"

#include "app/PollCycle.h"
#include "ui/widgets/AnimateProgress.h"
#include "ui/widgets/Utf8.h"
#include "ui/widgets/WidgetSync.h"
#include "ui/widgets/PageActions.h"
#include "ui/widgets/PageFonts.h"
#include "ui/widgets/SetUpForm.h"
#include "ui_CardsPage.h"

#include <QRegularExpressionValidator>

namespace qozel {
namespace {

constexpr int kListPoints = 10;

// A success bar keeps its room while hidden, so that showing it moves nothing.
void SetUpSuccessBar(QProgressBar& bar)
{
    QSizePolicy policy = bar.sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    bar.setSizePolicy(policy);
    bar.hide();
}

} // namespace

CardsPage::CardsPage(PollCycle& cycle, CoreGate& gate, QWidget* parent)
    : QWidget(parent),
      cycle_(cycle),
      gate_(gate),
      ui_(SetUpForm<Ui::CardsPage>(*this)),
      programmerPane_({ui_->TagPrgrLbl, ui_->TagPrgrKeyTxtLbl, ui_->TagPrgrKeyLbl, ui_->TagPrgrSygnTxtLbl,
                       ui_->TagPrgrSygnLbl, ui_->TagPrgrSigInfoLbl,
                       {ui_->TagPrgrInfoLbl, ui_->TagKeysToPrgrBtn, ui_->TagSetUsrPassBtn, ui_->TagPrUidTxtLbl,
                        ui_->TagPrUidLbl, ui_->TagPrDepTxtLbl, ui_->TagPrDepEdit, ui_->TagPrDepRngLbl,
                        ui_->TagPrIdxTxtLbl, ui_->TagPrIdxEdit, ui_->TagPrIdxRngLbl, ui_->TagClearTagBtn,
                        ui_->TagProgrTagBtn, ui_->TagRdUidTxtLbl, ui_->TagRdUidLbl, ui_->TagRdDepTxtLbl,
                        ui_->TagRdIdxTxtLbl, ui_->TagReadTagBtn, ui_->TagPrgrInfo2Lbl}}),
      readerPane_({ui_->TagKbRdLbl, ui_->TagKbRdKeyTxtLbl, ui_->TagKbRdKeyLbl, ui_->TagKbRdSygnTxtLbl,
                   ui_->TagKbRdSygnLbl, ui_->TagKbRdSigInfoLbl,
                   {ui_->TagKeysToKbRdBtn, ui_->TagKbRdWin, ui_->TagDataChrLbl, ui_->TagDataHexLbl, ui_->TagIdChrLbl,
                    ui_->TagIdHexLbl, ui_->TagEndChrLbl, ui_->TagEndCharCb, ui_->TagEnterChkBx, ui_->TagWrCfgBtn}}),
      outputRows_{{{ui_->TagFieldChkBx0, ui_->TagHexChkBx0, ui_->TagCharCb0},
                   {ui_->TagFieldChkBx1, ui_->TagHexChkBx1, ui_->TagCharCb1},
                   {ui_->TagFieldChkBx2, ui_->TagHexChkBx2, ui_->TagCharCb2},
                   {ui_->TagFieldChkBx3, ui_->TagHexChkBx3, ui_->TagCharCb3}}}
{
    SetUpControls();
    ConnectEdits();
    ConnectOutputRows();
    CardsTab& tab = cycle_.cardsTab;
    OnClick(*this, gate_, *ui_->TagKeysToPrgrBtn, tab, &CardsTab::TagKeysToPrgrBtnClick);
    OnClick(*this, gate_, *ui_->TagSetUsrPassBtn, tab, &CardsTab::TagSetUsrPassBtnClick);
    OnClick(*this, gate_, *ui_->TagProgrTagBtn, tab, &CardsTab::TagProgrTagBtnClick);
    OnClick(*this, gate_, *ui_->TagClearTagBtn, tab, &CardsTab::TagClearTagBtnClick);
    OnClick(*this, gate_, *ui_->TagReadTagBtn, tab, &CardsTab::TagReadTagBtnClick);
    OnClick(*this, gate_, *ui_->TagKeysToKbRdBtn, tab, &CardsTab::TagKeysToKbRdBtnClick);
    OnClick(*this, gate_, *ui_->TagWrCfgBtn, tab, &CardsTab::TagWrCfgBtnClick);
    Sync();
}

CardsPage::~CardsPage() = default;

void CardsPage::SetUpControls()
{
    ui_->TagPrgrInfoLbl->setText(FromUtf8(app_texts::kCardsPrgrInfo));
    ui_->TagPrgrInfo2Lbl->setText(FromUtf8(app_texts::kCardsPrgrInfo2));
    for (QLineEdit* edit : {ui_->TagPrDepEdit, ui_->TagPrIdxEdit})
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), edit));
    for (QComboBox* list : {ui_->TagCharCb0, ui_->TagCharCb1, ui_->TagCharCb2, ui_->TagCharCb3, ui_->TagEndCharCb}) {
        list->setFont(MsSansSerifFont(kListPoints, true));
        FillKeyCodeList(*list);
    }
    SetUpSuccessBar(*ui_->TagProgrTagBar);
    SetUpSuccessBar(*ui_->TagWrCfgBar);
}

// The user's edits go into the model at once. The fields' text is taken
// whatever sets it, so the buttons use what the fields show; the page's own
// drawing sets them to the model's values, so its echo changes nothing.
void CardsPage::ConnectEdits()
{
    CardsTabFields& fields = cycle_.cardsTab.Fields();
    connect(ui_->TagPrDepEdit, &QLineEdit::textChanged, this, [&fields](const QString& text) {
        fields.department = text.toStdString();
    });
    connect(ui_->TagPrIdxEdit, &QLineEdit::textChanged, this, [&fields](const QString& text) {
        fields.index = text.toStdString();
    });
    connect(ui_->TagEndCharCb, &QComboBox::activated, this, [&fields](int item) { fields.endItem = item; });
    connect(ui_->TagEnterChkBx, &QCheckBox::clicked, this, [this, &fields](bool checked) {
        fields.enterAtEnd = checked;
        ActAndSync(*this, gate_, [this] { cycle_.cardsTab.TagFieldChkBx0Click(); });
    });
}

void CardsPage::ConnectOutputRows()
{
    CardsTabFields& fields = cycle_.cardsTab.Fields();
    for (std::size_t k = 0; k < outputRows_.size(); ++k) {
        KbRdFieldSetting& setting = fields.outputFields[k];
        const OutputRow& row = outputRows_[k];
        connect(row.field, &QCheckBox::clicked, this, [this, &setting](bool checked) {
            setting.typed = checked;
            ActAndSync(*this, gate_, [this] { cycle_.cardsTab.TagFieldChkBx0Click(); });
        });
        connect(row.hex, &QCheckBox::clicked, this, [&setting](bool checked) { setting.hex = checked; });
        connect(row.separator, &QComboBox::activated, this, [&setting](int item) { setting.separatorItem = item; });
    }
}

void CardsPage::Sync()
{
    CardsTab& tab = cycle_.cardsTab;
    if (tab.TakeChanged())
        Draw(tab.Fields());
    ApplyFocusRequest();
}

void CardsPage::Draw(const CardsTabFields& fields)
{
    programmerPane_.Draw(fields.programmer);
    readerPane_.Draw(fields.kbReader);
    ui_->TagPrUidLbl->setText(FromUtf8(fields.programmedUid));
    SyncText(*ui_->TagPrDepEdit, FromUtf8(fields.department));
    SyncText(*ui_->TagPrIdxEdit, FromUtf8(fields.index));
    ui_->TagRdUidLbl->setText(FromUtf8(fields.readUid));
    SyncText(*ui_->TagRdDepEdit, FromUtf8(fields.readDepartment));
    SyncText(*ui_->TagRdIdxEdit, FromUtf8(fields.readIndex));
    const bool readerPresent = fields.kbReader.present;
    for (std::size_t k = 0; k < outputRows_.size(); ++k)
        DrawOutputRow(outputRows_[k], fields.outputFields[k], readerPresent);
    ui_->TagEndCharCb->setCurrentIndex(fields.endItem);
    ui_->TagEnterChkBx->setChecked(fields.enterAtEnd);
}

void CardsPage::ApplyFocusRequest()
{
    if (!cycle_.cardsTab.TakeFocusRequest())
        return;
    // The user typing a department or an index keeps the focus.
    QWidget* text = ui_->TagKbRdWin;
    if (!text->hasFocus() && text->isEnabled() && !ui_->TagPrDepEdit->hasFocus() && !ui_->TagPrIdxEdit->hasFocus())
        text->setFocus();
}

void CardsPage::Animate(WindowView::SuccessBar bar)
{
    QProgressBar& shown =
        bar == WindowView::SuccessBar::CardProgrammed ? *ui_->TagProgrTagBar : *ui_->TagWrCfgBar;
    AnimateProgress(shown, cycle_.clock());
}

} // namespace qozel

#include "ui/pages/ReadersPage.h"

#include "app/PollCycle.h"
#include "ui/widgets/Colours.h"
#include "ui/widgets/Utf8.h"
#include "ui/widgets/WidgetSync.h"
#include "ui/readergrid/ReaderGrid.h"
#include "ui/widgets/PageActions.h"
#include "ui/widgets/SetUpForm.h"
#include "ui_ReadersPage.h"

#include <QApplication>

namespace qozel {

ReadersPage::ReadersPage(PollCycle& cycle, CoreGate& gate, QWidget* parent)
    : QWidget(parent),
      cycle_(cycle),
      gate_(gate),
      ui_(SetUpForm<Ui::ReadersPage>(*this)),
      pane_(*ui_, cycle.pane.Fields())
{
    for (const unsigned rate : ReadersHeader::kRates)
        ui_->RdBaudCb->addItem(QString::number(rate));
    ui_->RdBaudCb->setPlaceholderText(QString::fromLatin1(app_texts::kNoRateText));
    ConnectActions();
    pane_.Draw(cycle.pane.Fields());
    DrawChanges(true);
}

ReadersPage::~ReadersPage() = default;

void ReadersPage::ConnectActions()
{
    ReaderPane& pane = cycle_.pane;
    OnClick(*this, gate_, *ui_->RdWrKeysBtn, pane, &ReaderPane::RdWrKeysBtnClick);
    OnClick(*this, gate_, *ui_->RdWrAddrBtn, pane, &ReaderPane::RdWrAddrBtnClick);
    OnClick(*this, gate_, *ui_->RdCfg0WrBtn, pane, &ReaderPane::RdCfg0WrBtnClick);
    OnClick(*this, gate_, *ui_->RdCfg0WrAllBtn, pane, &ReaderPane::RdCfg0WrAllBtnClick);
    OnClick(*this, gate_, *ui_->RdCfg1WrBtn, pane, &ReaderPane::RdCfg1WrBtnClick);
    connect(ui_->RdAddrEdit, &QLineEdit::editingFinished, this,
            [this, &pane] { ActAndSync(*this, gate_, [&pane] { pane.RdAddrEditExit(); }); });
    connect(ui_->RdBaudCb, &QComboBox::activated, this,
            [this, &pane](int item) { ActAndSync(*this, gate_, [&pane, item] { pane.RdBaudCbChange(item); }); });
    connect(ui_->RdListGrid, &ReaderGrid::dataCellPressed, this,
            [this, &pane](int row) { ActAndSync(*this, gate_, [&pane, row] { pane.RdTabEditClick(row); }); });
    connect(ui_->RdListGrid, &ReaderGrid::identifyClicked, this,
            [this, &pane](int row) { ActAndSync(*this, gate_, [&pane, row] { pane.RdIdentifyBtnClick(row); }); });
}

void ReadersPage::DrawChanges(bool shown)
{
    ReaderTable& table = cycle_.table;
    ReaderTable::Changes changes = table.TakeChanges();
    if (changes.header) {
        DrawHeader(table.Header());
        changes.rows = ~0u;  // the rate cells take the header's rate colour
    }
    for (int row = 0; row < ReaderTable::kRows; ++row) {
        if (changes.rows & (1u << row))
            ui_->RdListGrid->DrawRow(row, table.Row(row), table.Header().rateColour);
    }
    if (changes.cardData)
        DrawCardData(table.CardData());
    if (cycle_.pane.TakeChanged())
        pane_.Draw(cycle_.pane.Fields());
    ApplyFocusRequest(shown);
}

void ReadersPage::DrawHeader(const ReadersHeader& header)
{
    const QPalette system = QApplication::palette();
    ui_->RdManagerLbl->setText(FromUtf8(header.managerText));
    SyncColour(*ui_->RdManagerLbl, QPalette::WindowText, ToQColor(header.managerColour, system));
    ui_->RdBaudLbl->setText(FromUtf8(header.rateLabel));
    SyncColour(*ui_->RdBaudLbl, QPalette::WindowText, ToQColor(header.rateColour, system));
    ui_->RdBaudCb->setCurrentIndex(header.rateItem);
    ui_->RdBaudLbl->setEnabled(header.managerOpen);
    ui_->RdBaudCb->setEnabled(header.managerOpen);
    ui_->RdListGrid->SetHeaderEnabled(header.managerOpen);
}

void ReadersPage::DrawCardData(const CardDataBox& box)
{
    ui_->RdUid->setText(FromUtf8(box.uid));
    ui_->RdWydz->setText(FromUtf8(box.department));
    ui_->RdIdx->setText(FromUtf8(box.index));
}

void ReadersPage::ApplyFocusRequest(bool shown)
{
    QPushButton* button = nullptr;
    switch (cycle_.pane.TakeFocus()) {
    case ReaderPane::Focus::None: return;
    case ReaderPane::Focus::WriteAddress: button = ui_->RdWrAddrBtn; break;
    case ReaderPane::Focus::WriteConfigToAll: button = ui_->RdCfg0WrAllBtn; break;
    }
    if (shown && button->isEnabled() && button->isVisible())
        button->setFocus();
}

} // namespace qozel

#include "ui/pages/ReaderPaneView.h"

#include "ui/widgets/Utf8.h"
#include "ui/widgets/WidgetSync.h"
#include "ui/widgets/EnableAll.h"
#include "ui_ReadersPage.h"

#include <QRegularExpressionValidator>

namespace qozel {
namespace {

constexpr int kAddressDigits = 3;

void BindCheck(QCheckBox* box, bool& field)
{
    QObject::connect(box, &QCheckBox::clicked, box, [&field](bool checked) { field = checked; });
}

} // namespace

ReaderPaneView::ReaderPaneView(Ui::ReadersPage& ui, ReaderPaneFields& fields) : ui_(ui)
{
    ui.RdAddrEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(kAddressDigits)), ui.RdAddrEdit));
    for (int item = 0; item < ReaderPane::kModuleTimeItems; ++item)
        ui.RdCfg1TimCb->addItem(QStringLiteral("%1s").arg(ModuleConfig::ActivitySeconds(static_cast<unsigned>(item))));
    ConnectEdits(fields);
}

void ReaderPaneView::ConnectEdits(ReaderPaneFields& fields)
{
    // Whatever puts the text there; drawing echoes back only what it drew.
    QObject::connect(ui_.RdAddrEdit, &QLineEdit::textChanged, ui_.RdAddrEdit,
                     [&fields](const QString& text) { fields.address = text.toStdString(); });
    ReaderConfig& config = fields.config;
    BindCheck(ui_.RdCfg0FdUidChkBx, config.sendUid);
    BindCheck(ui_.RdCfg0FdWydzChkBx, config.sendDepartment);
    BindCheck(ui_.RdCfg0FdIdxChkBx, config.sendIndex);
    BindCheck(ui_.RdCfg0PinChkBx, config.pinWhole);
    BindCheck(ui_.RdCfg0StarChkBx, config.starClears);
    BindCheck(ui_.RdCfg0TrRoReChkBx, config.roRe);
    ModuleConfig& module = fields.module;
    QObject::connect(ui_.RdCfg1TimCb, &QComboBox::activated, ui_.RdCfg1TimCb,
                     [&module](int item) { module.activityIndex = static_cast<std::uint8_t>(item); });
    QObject::connect(ui_.RdCfg1Rd1IoCb, &QComboBox::activated, ui_.RdCfg1Rd1IoCb,
                     [&module](int item) { module.reader1 = static_cast<ModuleConfig::Mode>(item); });
    QObject::connect(ui_.RdCfg1Rd2IoCb, &QComboBox::activated, ui_.RdCfg1Rd2IoCb,
                     [&module](int item) { module.reader2 = static_cast<ModuleConfig::Mode>(item); });
}

void ReaderPaneView::Draw(const ReaderPaneFields& fields)
{
    ui_.RdRdLbl->setText(FromUtf8(fields.readerName));
    SyncText(*ui_.RdUEdit, FromUtf8(fields.supplyU));
    SyncText(*ui_.RdUppEdit, FromUtf8(fields.supplyUpp));
    SyncText(*ui_.RdMaxUppEdit, FromUtf8(fields.supplyMaxUpp));
    SyncText(*ui_.RdAddrEdit, FromUtf8(fields.address));

    const ReaderConfig& config = fields.config;
    ui_.RdCfg0FdUidChkBx->setChecked(config.sendUid);
    ui_.RdCfg0FdWydzChkBx->setChecked(config.sendDepartment);
    ui_.RdCfg0FdIdxChkBx->setChecked(config.sendIndex);
    ui_.RdCfg0PinChkBx->setChecked(config.pinWhole);
    ui_.RdCfg0StarChkBx->setChecked(config.starClears);
    ui_.RdCfg0TrRoReChkBx->setChecked(config.roRe);

    ui_.RdCfg1TimCb->setCurrentIndex(fields.module.activityIndex);
    ui_.RdCfg1Rd1IoCb->setCurrentIndex(fields.module.reader1);
    ui_.RdCfg1Rd2IoCb->setCurrentIndex(fields.module.reader2);
    ui_.RdCfg1Rd1Lbl->setText(FromUtf8(fields.module1Name));
    ui_.RdCfg1Rd2Lbl->setText(FromUtf8(fields.module2Name));

    EnableAll({ui_.RdCfg0PinChkBx, ui_.RdCfg0StarChkBx, ui_.RdCfg0FdUidChkBx, ui_.RdCfg0FdWydzChkBx,
               ui_.RdCfg0FdIdxChkBx, ui_.RdCfg0TrRoReChkBx, ui_.RdRdBox, ui_.RdUidLbl, ui_.RdWydzLbl,
               ui_.RdIdxLbl, ui_.RdWrKeysBtn, ui_.RdCfg0WrAllBtn},
              fields.configEnabled);
    EnableAll({ui_.RdRdLbl, ui_.RdULbl, ui_.RdUEdit, ui_.RdUVLbl, ui_.RdUppLbl, ui_.RdUppEdit, ui_.RdUppmVLbl,
               ui_.RdMaxUppLbl, ui_.RdMaxUppEdit, ui_.RdMaxUppmVLbl, ui_.RdAddrLbl, ui_.RdAddrEdit,
               ui_.RdWrAddrBtn, ui_.RdCfg0WrBtn},
              fields.paneEnabled);
    EnableAll({ui_.RdCfg1Rd1TxtLbl, ui_.RdCfg1Rd2TxtLbl, ui_.RdCfg1Rd1RegLbl, ui_.RdCfg1Rd2RegLbl,
               ui_.RdCfg1Rd1Lbl, ui_.RdCfg1Rd2Lbl, ui_.RdCfg1Rd1IoCb, ui_.RdCfg1Rd2IoCb, ui_.RdCfg1TimLbl,
               ui_.RdCfg1TimCb, ui_.RdCfg1WrBtn},
              fields.moduleEnabled);
}

} // namespace qozel

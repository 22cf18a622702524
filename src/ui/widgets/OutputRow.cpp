#include "ui/widgets/OutputRow.h"

#include "devices/kbreader/KbRdConfig.h"

#include <QCheckBox>
#include <QComboBox>

namespace qozel {

void FillKeyCodeList(QComboBox& list)
{
    for (const char* item : KeyCodeItems)
        list.addItem(QString::fromUtf8(item));
}

void DrawOutputRow(const OutputRow& row, const KbRdFieldSetting& setting, bool readerPresent)
{
    const bool active = readerPresent && setting.typed;
    row.field->setChecked(setting.typed);
    row.field->setEnabled(readerPresent);
    row.hex->setChecked(setting.hex);
    row.hex->setEnabled(active);
    row.separator->setCurrentIndex(setting.separatorItem);
    row.separator->setEnabled(active);
    // The list has a font of its own (family and size); only the weight changes.
    if (row.separator->font().bold() != active) {
        QFont font = row.separator->font();
        font.setBold(active);
        row.separator->setFont(font);
    }
}

} // namespace qozel

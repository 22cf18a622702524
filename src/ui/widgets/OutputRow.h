#pragma once

class QCheckBox;
class QComboBox;

namespace qozel {

struct KbRdFieldSetting;

// One output field row of the keyboard reader's configuration on the Cards
// page: the field's check box, its HEX box and the list of the character
// typed before it.
struct OutputRow {
    QCheckBox* field;
    QCheckBox* hex;
    QComboBox* separator;
};

// Fills a character list with the items of the reader's key codes, in the
// order of their item numbers.
void FillKeyCodeList(QComboBox& list);

// Draws a row's setting. The HEX box and the list work only for a typed
// field of a present reader; the list's text is bold exactly then.
void DrawOutputRow(const OutputRow& row, const KbRdFieldSetting& setting, bool readerPresent);

} // namespace qozel

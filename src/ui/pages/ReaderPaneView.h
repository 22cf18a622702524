#pragma once

#include "app/ReaderPane.h"

namespace Ui {
class ReadersPage;
}

namespace qozel {

// The selected reader's controls of the Readers tab: the pane, the
// configuration and the QO-L74 groups. Shows the pane's fields and writes
// the user's edits of the address, check boxes and module lists back into
// them. The address is taken whatever sets it (keys, an input method,
// assistive technology), so the button writes what the field shows; drawing
// sets the field to the pane's own value, so its echo changes nothing. The
// other controls listen only to signals the user causes (clicked, activated).
class ReaderPaneView {
public:
    ReaderPaneView(Ui::ReadersPage& ui, ReaderPaneFields& fields);

    void Draw(const ReaderPaneFields& fields);

private:
    void ConnectEdits(ReaderPaneFields& fields);

    Ui::ReadersPage& ui_;
};

} // namespace qozel

#pragma once

#include <QList>

class QLabel;
class QWidget;

namespace qozel {

struct DevicePane;

// The labels that show one device on a tab page: its line, the captions and
// values of its key state and key signature, the mismatch label (if the
// pane has one) and the widgets that work only with the device present.
struct DevicePaneLabels {
    QLabel* line;
    QLabel* keysCaption;
    QLabel* keys;
    QLabel* signatureCaption;
    QLabel* signature;
    QLabel* mismatch;  // nullptr for a pane without one
    QList<QWidget*> enabledWhenPresent;
};

// Draws a DevicePane into its labels; the Cards and Installation key pages
// share it for every device pane they show.
class DevicePaneView {
public:
    // Gives the device line its font, centred, and the mismatch label its
    // text and look, hidden.
    explicit DevicePaneView(DevicePaneLabels labels);

    void Draw(const DevicePane& pane) const;

private:
    DevicePaneLabels labels_;
};

} // namespace qozel

#pragma once

#include "KbReaderModel.h"

#include <QWidget>

#include <array>
#include <deque>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QVBoxLayout;

namespace qozel::sim {

class DemoInstallation;
struct DemoOutcome;

// The control window "Wirtualna instalacja" beside the program's main window:
// it plugs the devices in and out, handles the cards, the readers on the bus
// and what happens at them, and lets the keyboard reader type into the main
// window. What each control does is DemoInstallation's; this window only
// shows it, says what happened and types the keys.
class DemoWindow final : public QWidget {
public:
    // `mainWindow` receives what the keyboard reader types, in its focused widget.
    DemoWindow(DemoInstallation& installation, QWidget& mainWindow);

    // Puts the two windows side by side, centred, as far as the screen allows.
    void PlaceBesideMainWindow();
    // Brings every control up to the installation's state (also every 250 ms).
    void Sync();
    // The keyboard reader is still typing.
    bool Typing() const noexcept { return !keysToType_.empty(); }

private:
    void BuildDevices(QVBoxLayout& layout);
    void BuildCards(QVBoxLayout& layout);
    void BuildBus(QVBoxLayout& layout);
    void BuildKbReader(QVBoxLayout& layout);

    void Show(const DemoOutcome& outcome);
    int SelectedReader() const;
    int SelectedCard() const;
    void SendInputs();
    void Type(const std::vector<KeyStroke>& keys);
    void TypeNextKey();

    DemoInstallation& installation_;
    QWidget& mainWindow_;
    QTimer* syncTimer_ = nullptr;
    QTimer* typist_ = nullptr;
    std::deque<KeyStroke> keysToType_;

    std::array<QCheckBox*, 4> plugBoxes_{};
    QComboBox* cardCb_ = nullptr;
    QComboBox* readerCb_ = nullptr;
    QComboBox* typeCb_ = nullptr;
    QPushButton* removeReaderBtn_ = nullptr;
    QCheckBox* connectedChkBx_ = nullptr;
    QWidget* atReaderGrp_ = nullptr;
    QLineEdit* pinEdit_ = nullptr;
    QCheckBox* tamper1ChkBx_ = nullptr;
    QCheckBox* tamper2ChkBx_ = nullptr;
    QCheckBox* powerChkBx_ = nullptr;
    QLabel* statusLbl_ = nullptr;
};

} // namespace qozel::sim

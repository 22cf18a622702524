#pragma once

#include "app/WindowView.h"
#include "ui/CoreGate.h"

#include <QWidget>

#include <memory>

class QLabel;
class QScrollArea;
class QTabWidget;
class QTimer;

namespace qozel {

class Clock;
class HidHost;
class PollCycle;
class PagesOnDemand;
class QtPrompts;
class ReadersPage;
class UpgradeBoxOnDemand;
class UsbHost;

// The hosts the poll cycle reaches the devices through: the real ones in
// the application, simulated ones in the demo and the tests.
struct DeviceHosts {
    UsbHost& usb;
    HidHost& hid;
    Clock& clock;
};

// The main window: the five tabs around the poll cycle, which it builds on
// the hosts given together with the prompts and the upgrade box, ticks every
// 250 ms and draws. No device is contacted before the first tick.
class TMainWin final : public QWidget, public WindowView {
    Q_OBJECT
public:
    static constexpr QSize kDesignSize{1044, 998};

    explicit TMainWin(const DeviceHosts& hosts);
    ~TMainWin() override;

    // For the demo and the tests, which drive the cycle directly.
    PollCycle& Cycle() noexcept { return *cycle_; }

    Tab ShownTab() const override;
    void SetTimerEnabled(bool enabled) override;
    void Redraw() override;
    void Diagnostic(std::string_view text) override;
    void ShowPermissionHint(std::string_view text) override;
    void AnimateProgress(SuccessBar bar) override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScrollArea* BuildContent();
    void BuildHiddenControls(QWidget& content);
    QSize ContentSize() const;
    void FitToContent();
    // Takes the content's new size without moving the window.
    void FitSizeInPlace();
    void BuildRemainingPages();
    // The poll timer's tick and the hidden start/stop switch.
    void ZelTimerTimer();
    void StartStopBtnClick();
    void OnTabShown(int index);
    void AttachPages();
    // Draws what the models of every tab changed.
    void DrawChanges();

    CoreGate gate_;
    QScrollArea* scroll_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* permissionHint_ = nullptr;
    QTimer* timer_ = nullptr;
    // The cycle goes before the prompts and the upgrade box it shows.
    std::unique_ptr<QtPrompts> prompts_;
    std::unique_ptr<UpgradeBoxOnDemand> upgradeBox_;
    std::unique_ptr<PollCycle> cycle_;
    ReadersPage* readersPage_ = nullptr;
    std::unique_ptr<PagesOnDemand> pages_;
};

} // namespace qozel

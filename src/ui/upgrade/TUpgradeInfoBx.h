#pragma once

#include "app/WindowView.h"

#include <QDialog>

class QLabel;
class QProgressBar;

namespace qozel {

// The small non-modal box that shows a firmware upgrade while it runs: the
// device with its current version, the new version and a bar of the blocks
// written. The upgrade holds the user-interface thread, so the box paints
// itself at each step and takes no input.
class TUpgradeInfoBx final : public QDialog, public UpgradeBox {
    Q_OBJECT
public:
    explicit TUpgradeInfoBx(QWidget* mainWindow);

    void Show(std::string_view deviceText, std::string_view newSoftText, int maximum) override;
    void SetProgress(int position) override;
    void Close() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Moves the box up the first time in a run of the program; it keeps that
    // place for every later showing.
    void RaiseOnce();
    void PaintNow();

    QLabel* upgrDevLbl_;
    QLabel* upgrNewSoft_;
    QProgressBar* upgrProgrBar_;
};

} // namespace qozel

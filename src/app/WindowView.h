#pragma once

#include <string_view>

namespace qozel {

// What the poll cycle asks of the window that shows it. The Qt main window
// implements it; tests record it.
class WindowView {
public:
    // The page control's tabs, in the order of their indices.
    enum class Tab { Readers, Cards, Key, Recovery, Log };

    virtual ~WindowView() = default;

    virtual Tab ShownTab() const = 0;
    virtual void SetTimerEnabled(bool enabled) = 0;
    // Draws at once what the models changed since the last drawing. The
    // window's prompts and upgrade box call it before they open, so that no
    // box stands over a state the models have left. The models leave the
    // drawing to the window.
    virtual void Redraw() = 0;
    // The diagnostic hook: notes for a developer, never shown to the user.
    virtual void Diagnostic(std::string_view text) = 0;
    // The line below the tabs that tells how to grant access to devices this
    // user may not open; an empty text hides it.
    virtual void ShowPermissionHint(std::string_view text) = 0;

    // The small bars that show a success.
    enum class SuccessBar { CardProgrammed, ConfigWritten };
    // Runs the bar from 0 to 20 with short pauses, then hides it.
    virtual void AnimateProgress(SuccessBar bar) = 0;
};

// The small non-modal box that shows a firmware upgrade as it runs.
class UpgradeBox {
public:
    virtual ~UpgradeBox() = default;

    // Shows the box with the device line, the new version and an empty bar of
    // `maximum`, moving it up the first time in a run, and paints it at once.
    virtual void Show(std::string_view deviceText, std::string_view newSoftText, int maximum) = 0;
    // Sets the bar and paints it at once.
    virtual void SetProgress(int position) = 0;
    virtual void Close() = 0;
};

} // namespace qozel

#pragma once

#include "app/WindowView.h"

namespace qozel::sim {

// A window that shows the Readers tab and draws nothing, for running the poll
// cycle where only its work counts (benchmarks, fuzzing).
class SilentView final : public WindowView {
public:
    Tab ShownTab() const override { return Tab::Readers; }
    void SetTimerEnabled(bool) override {}
    void Redraw() override {}
    void Diagnostic(std::string_view) override {}
    void ShowPermissionHint(std::string_view) override {}
    void AnimateProgress(SuccessBar) override {}
};

// An upgrade box nobody sees.
class SilentUpgradeBox final : public UpgradeBox {
public:
    void Show(std::string_view, std::string_view, int) override {}
    void SetProgress(int) override {}
    void Close() override {}
};

} // namespace qozel::sim

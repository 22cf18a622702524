#include "ui/widgets/AnimateProgress.h"

#include "platform/Clock.h"

#include <QProgressBar>

namespace qozel {

namespace {

constexpr int kSteps = 20;
constexpr std::uint32_t kStepMs = 5;
constexpr std::uint32_t kFullMs = 50;

void SetAndPaint(QProgressBar& bar, int position)
{
    bar.setValue(position);
    bar.repaint();
}

} // namespace

void AnimateProgress(QProgressBar& bar, Clock& clock)
{
    bar.setRange(0, kSteps);
    bar.show();
    for (int position = 0; position < kSteps; ++position) {
        SetAndPaint(bar, position);
        clock.SleepMs(kStepMs);
    }
    SetAndPaint(bar, kSteps);
    clock.SleepMs(kFullMs);
    bar.hide();
}

} // namespace qozel

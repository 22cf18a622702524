// The progress animation, timed on the virtual clock.
#include "QtTestSupport.h"

#include "VirtualClock.h"
#include "ui/widgets/AnimateProgress.h"

#include <gtest/gtest.h>

#include <QProgressBar>

namespace qozel {
namespace {

TEST(AnimateProgress, EndsFullAndHiddenAfterAHundredAndFiftyMilliseconds)
{
    QProgressBar bar;
    sim::VirtualClock clock;
    const std::uint64_t start = clock.Microseconds();

    AnimateProgress(bar, clock);

    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(bar.maximum(), 20);
    EXPECT_EQ(bar.value(), 20);
    EXPECT_EQ(clock.Microseconds() - start, 150'000u);
}

} // namespace
} // namespace qozel

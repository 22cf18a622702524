#pragma once

class QProgressBar;

namespace qozel {

class Clock;

// Shows `bar`, runs it from empty to full in about 150 ms and hides it again:
// a short sign that an operation has gone through. The caller holds the
// user-interface thread, so each step is painted at once.
void AnimateProgress(QProgressBar& bar, Clock& clock);

} // namespace qozel

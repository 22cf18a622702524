#pragma once

#include <cstdint>

namespace qozel {

class Clock;
class WindowView;

// Keeps user actions and poll passes apart: a pass does not start while an
// action runs, and the poll timer stops for the action and resumes after it
// unless the user stopped polling.
class ActionBracket {
public:
    static constexpr int kUserWaitSleeps = 20;
    static constexpr std::uint32_t kUserWaitSleepMs = 100;

    ActionBracket(WindowView& view, Clock& clock) noexcept : view_(view), clock_(clock) {}

    // An action starting under a pass (from a box's nested loop) waits up to
    // two seconds for the pass to end and notes it for the developer.
    void BeginUserFunction();
    void EndUserFunction();
    // A poll pass starts unless an action or another pass runs (a tick
    // delivered by the nested loop of a box would interleave two exchanges on
    // one device); false when it may not.
    bool BeginPass();
    void EndPass();
    // Stops or restarts the poll timer.
    void ToggleRunning();

    bool pollRunning = true;
    bool userFunctionActive = false;
    bool timerPassActive = false;

private:
    WindowView& view_;
    Clock& clock_;
};

// Runs a user action between BeginUserFunction and EndUserFunction, whatever
// way the action ends.
class UserFunction {
public:
    explicit UserFunction(ActionBracket& bracket) : bracket_(bracket) { bracket_.BeginUserFunction(); }
    ~UserFunction() { bracket_.EndUserFunction(); }
    UserFunction(const UserFunction&) = delete;
    UserFunction& operator=(const UserFunction&) = delete;

private:
    ActionBracket& bracket_;
};

} // namespace qozel

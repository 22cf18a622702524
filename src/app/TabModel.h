#pragma once

#include "app/ActionBracket.h"
#include "app/DrawnCopy.h"

#include <cstdint>
#include <initializer_list>
#include <optional>

namespace qozel {

// What every tab model shares: the fields it shows with the copy the window
// last drew, its actions run as user actions followed by the tab's own
// refresh, and the device state it last saw.
template <class Tab, class TabFields>
class TabModel {
public:
    TabFields& Fields() noexcept { return fields_; }
    const TabFields& Fields() const noexcept { return fields_; }
    // True when the tab changed since the last call (always at the first),
    // for the window to draw.
    bool TakeChanged() { return drawn_.Changed(fields_); }

protected:
    using Refresh = void (Tab::*)();

    TabModel(ActionBracket& bracket, Refresh refresh) noexcept : bracket_(bracket), refresh_(refresh) {}
    ~TabModel() = default;
    TabModel(const TabModel&) = delete;
    TabModel& operator=(const TabModel&) = delete;

    // Runs `action` between the bracket's ends, then refreshes the tab.
    template <class F>
    void RunAction(F&& action)
    {
        UserFunction bracket(bracket_);
        action();
        (static_cast<Tab&>(*this).*refresh_)();
    }

    // True when the device state (one flag per device property the tab
    // shows) differs from the one seen at the last call, and at the first.
    bool StateChanged(std::initializer_list<bool> state) noexcept
    {
        std::uint32_t bits = 0;
        std::uint32_t bit = 1;
        for (const bool on : state) {
            if (on)
                bits |= bit;
            bit <<= 1;
        }
        if (lastState_ == bits)
            return false;
        lastState_ = bits;
        return true;
    }

    ActionBracket& bracket_;
    TabFields fields_;

private:
    Refresh refresh_;
    DrawnCopy<TabFields> drawn_;
    std::optional<std::uint32_t> lastState_;
};

} // namespace qozel

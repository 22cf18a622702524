#pragma once

#include <optional>

namespace qozel {

// What a model last handed to the window for drawing, so that the window is
// told of a change only when something differs (always at the first call).
template <class Fields>
class DrawnCopy {
public:
    bool Changed(const Fields& now)
    {
        const bool changed = !drawn_ || *drawn_ != now;
        drawn_ = now;
        return changed;
    }

private:
    std::optional<Fields> drawn_;
};

} // namespace qozel

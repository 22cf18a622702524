#pragma once

#include <QDebug>

#include <exception>

namespace qozel {

// The one way Qt slots call into the core, one call at a time. A modal box
// shown inside a call runs a nested event loop, which still delivers timer
// ticks and signals such as a line edit's focus-out; those start nothing.
// Nothing thrown crosses the event loop. Once closed (the window is
// closing), every call is dropped. True when the call ran, even if it threw.
class CoreGate {
public:
    void Close() noexcept { closed_ = true; }

    template <class Call>
    bool Run(Call&& call) noexcept
    {
        if (closed_ || running_)
            return false;
        running_ = true;
        try {
            call();
        } catch (const std::exception& e) {
            qDebug() << "core call failed:" << e.what();
        } catch (...) {
            qDebug() << "core call failed";
        }
        running_ = false;
        return true;
    }

private:
    bool running_ = false;
    bool closed_ = false;
};

} // namespace qozel

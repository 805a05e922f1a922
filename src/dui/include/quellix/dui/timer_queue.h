#pragma once
// Timers of windows and controls on the toolkit's clock (milliseconds).
//
// UI thread only.  A timer is identified by its target and id; setting it
// again restarts it with the new period.  Timers repeat until killed.  The
// backend fires due timers (fireDue) from its clock: the Qt view from a
// real timer, the headless backend from virtual time a test advances.

#include "quellix/dui/types.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace quellix::dui {

class TimerQueue {
public:
    // Target of a timer: a window handle or a control address.
    struct Key {
        const void* target = nullptr;
        UINT id = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    using Callback = std::function<void()>;

    // (Re)starts a timer; the first tick is due at now + periodMs.
    void set(Key key, std::int64_t nowMs, UINT periodMs, Callback onTick);
    bool kill(Key key);
    void killAll(const void* target);
    bool isSet(Key key) const;

    std::optional<std::int64_t> nextDue() const;
    // Fires the earliest timer due at or before nowMs (ties in the order
    // they were set) and schedules its next tick; false when none is due.
    bool fireOne(std::int64_t nowMs);
    std::size_t size() const { return timers_.size(); }

    // Called whenever nextDue() may have changed.
    void setScheduleChanged(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    struct Timer {
        Key key;
        std::int64_t due;
        UINT period;
        std::uint64_t order;
        Callback onTick;
    };
    std::vector<Timer> timers_;
    std::uint64_t nextOrder_ = 0;
    std::function<void()> changed_;
    void changed() {
        if (changed_)
            changed_();
    }
};

} // namespace quellix::dui

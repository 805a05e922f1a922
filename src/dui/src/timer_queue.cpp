#include "quellix/dui/timer_queue.h"

#include <algorithm>

namespace quellix::dui {

void TimerQueue::set(Key key, std::int64_t nowMs, UINT periodMs, Callback onTick) {
    std::erase_if(timers_, [&](const Timer& t) { return t.key == key; });
    // A zero period would fire forever within one instant; the platform
    // raises it to a minimum too.
    UINT period = std::max<UINT>(periodMs, 1);
    timers_.push_back({key, nowMs + period, period, nextOrder_++, std::move(onTick)});
    changed();
}

bool TimerQueue::kill(Key key) {
    bool removed = std::erase_if(timers_, [&](const Timer& t) { return t.key == key; }) > 0;
    if (removed)
        changed();
    return removed;
}

void TimerQueue::killAll(const void* target) {
    if (std::erase_if(timers_, [&](const Timer& t) { return t.key.target == target; }) > 0)
        changed();
}

bool TimerQueue::isSet(Key key) const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [&](const Timer& t) { return t.key == key; });
}

std::optional<std::int64_t> TimerQueue::nextDue() const {
    if (timers_.empty())
        return std::nullopt;
    return std::min_element(timers_.begin(), timers_.end(),
                            [](const Timer& a, const Timer& b) { return a.due < b.due; })
        ->due;
}

bool TimerQueue::fireOne(std::int64_t nowMs) {
    auto earliest = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->due > nowMs)
            continue;
        if (earliest == timers_.end() || it->due < earliest->due ||
            (it->due == earliest->due && it->order < earliest->order))
            earliest = it;
    }
    if (earliest == timers_.end())
        return false;
    // Reschedule before the tick so that the handler may kill or restart it.
    Callback tick = earliest->onTick;
    earliest->due += earliest->period;
    if (earliest->due <= nowMs) // a late backend skips missed ticks
        earliest->due = nowMs + earliest->period;
    changed();
    tick();
    return true;
}

} // namespace quellix::dui

#include "bar.h"

namespace quellix::lighting::detail {

int stepBar(BarState& bar, int top) {
    int n = bar.counter.load();
    // A counter outside −1..top (never written so by the bar itself) starts
    // again from 0.
    if (n < -1 || n > top)
        n = 0;
    const bool falling = bar.falling.load() != 0;
    int next = falling ? n - 1 : n + 1;
    if (next >= top) {
        next = top;
        bar.falling.store(1);
    } else if (next <= -1) {
        next = -1;
        bar.falling.store(0);
    }
    bar.counter.store(static_cast<std::int8_t>(next));
    return n;
}

} // namespace quellix::lighting::detail

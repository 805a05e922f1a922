// Stepping any effect allocates nothing: this executable counts every
// global operator new and runs every step of every kind.

#include "counting_new.h"
#include "lighting_harness.h"

#include <gtest/gtest.h>

namespace quellix::lighting::testing {
namespace {

TEST(NoAllocation, TheCounterSeesAllocations) {
    const std::size_t before = allocationCount();
    auto probe = std::make_unique<int>(1);
    EXPECT_EQ(allocationCount() - before, 1u);
}

TEST(NoAllocation, EveryStepOfEveryKind) {
    Harness h;
    platform::SharedArray<4> state;
    platform::SharedArray<5 * 378> table;
    h.custom = {state.span(), table.span()};
    const std::size_t before = quellix::lighting::allocationCount();
    for (std::uint8_t mode = 0; mode <= 19; ++mode)
        for (std::uint8_t multi : {0, 1}) {
            h.setFields(makeFields(mode, multi, 1, 3));
            changePadMode(h.state->pad, mode);
            changeMouseMode(h.state->mouse, mode, 1);
            triggerFlashes(*h.state);
            for (int frame = 0; frame < 40; ++frame) {
                padIteration(*h.state, h.view(), false, h.pacer, h.clock, h.buffers);
                mouseIteration(*h.state, h.view(), false, h.pacer, h.clock, h.buffers);
                for (unsigned variant = 0; variant < 3; ++variant) {
                    changeKeyboardMode(h.state->keyboard, variant, mode);
                    keyboardIteration(*h.state, variant, h.view(), h.custom, false, h.pacer,
                                      h.clock, h.buffers);
                    keyboardIteration(*h.state, variant, h.view(), h.custom, true, h.pacer, h.clock,
                                      h.buffers);
                }
                syncIteration(*h.state, h.fields(), {true, true, true}, h.pacer);
            }
        }
    EXPECT_EQ(quellix::lighting::allocationCount() - before, 0u);
}

} // namespace
} // namespace quellix::lighting::testing

#pragma once
// A mouse served by a zero-latency simulator, reached through the real HID
// socket path, with a connected session on it.

#include "quellix/device/device_session.h"
#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/sim/simulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace quellix::device::testing {

class SimulatedMouseSession : public ::testing::Test {
protected:
    static constexpr sim::Model kModel = sim::Model::Mouse;

    void SetUp() override {
        using namespace std::chrono_literals;
        sim_ = std::make_unique<sim::Simulator>(sim::Options{.dir = {}, .replyLatency = 0us});
        sim_->plug(kModel);
        session_.hid.source = hid::DeviceSource::simulator(sim_->dir());
        session_.setIdentity(identityOf(DeviceKind::Mouse));
        ASSERT_TRUE(connectSession(session_, DeviceKind::Mouse));
    }

    void TearDown() override { disconnectSession(session_); }

    std::uint64_t framesReceived() const { return sim_->stats(kModel).framesReceived; }
    std::vector<std::array<std::uint8_t, 64>> requests() const {
        return sim_->stats(kModel).requestLog;
    }

    std::unique_ptr<sim::Simulator> sim_;
    DeviceSession session_;
};

} // namespace quellix::device::testing

// The lighting workers against simulated devices, through the real HID
// socket path: what the simulator receives, frame by frame and in order, is
// what the engine computes for the same record (the sequence `quellixctl fx`
// prints).  The workers pace themselves on a manual clock, so the run takes
// no real time and the flash sees the same time as `quellixctl fx`.

#include "fx_command.h"
#include "quellix/app/lighting_workers.h"
#include "quellix/device/report_frame.h"
#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/lighting/seeds.h"
#include "quellix/sim/simulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

namespace quellix::app {
namespace {

using device::DeviceKind;
using Frame = std::vector<std::uint8_t>;

sim::Model modelOf(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::Keyboard:
        return sim::Model::Keyboard;
    case DeviceKind::Mouse:
        return sim::Model::Mouse;
    case DeviceKind::MousePad:
        break;
    }
    return sim::Model::MousePad;
}

const char* fxKind(DeviceKind kind) {
    constexpr const char* kNames[] = {"keyboard", "mouse", "pad"};
    return kNames[device::kindIndex(kind)];
}

std::string fieldsText(const lighting::LightingFields& f) {
    std::ostringstream out;
    out << int(f.slot) << ',' << int(f.mode) << ',' << int(f.brightness) << ',' << int(f.speed)
        << ',' << int(f.direction) << ',' << int(f.multicolor) << ',' << int(f.red) << ','
        << int(f.green) << ',' << int(f.blue);
    return out.str();
}

Frame fromHex(const std::string& hex) {
    Frame frame;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        frame.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return frame;
}

// The frames `quellixctl fx` prints for the record (empty lines: none sent).
std::vector<Frame> fxFrames(std::vector<std::string> args) {
    std::ostringstream out, err;
    EXPECT_EQ(tools::runFx(args, out, err), 0) << err.str();
    std::vector<Frame> frames;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        const std::string hex = line.substr(0, line.find(' '));
        if (hex != "-") {
            frames.push_back(fromHex(hex));
        }
    }
    return frames;
}

bool eventually(const std::function<bool()>& condition);

// Every device in the simulator, a session on each, and the workers.
class Rig {
public:
    Rig() {
        simulator_ = std::make_unique<sim::Simulator>(
            sim::Options{.dir = {}, .replyLatency = std::chrono::microseconds(0)});
        for (DeviceKind kind : device::kAllDeviceKinds) {
            sessions_[device::kindIndex(kind)].hid.source =
                hid::DeviceSource::simulator(simulator_->dir());
            sessions_[device::kindIndex(kind)].setIdentity(device::identityOf(kind));
        }
        LightingWorkerTiming timing;
        timing.startDelay = std::chrono::milliseconds(3000);
        timing.clock = &clock_;
        workers_.setTiming(timing);
    }
    ~Rig() {
        stopAll();
        for (auto& session : sessions_) {
            device::disconnectSession(session);
        }
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    device::DeviceSession& session(DeviceKind kind) { return sessions_[device::kindIndex(kind)]; }
    sim::Simulator& simulator() { return *simulator_; }
    platform::ManualClock& clock() { return clock_; }
    lighting::LightingState& state() { return *state_; }
    lighting::OwnedLightingRecords& records() { return records_; }
    platform::Shared<int>& framesEnabled() { return framesEnabled_; }

    void plug(DeviceKind kind, std::uint16_t keyboardProduct = 0x0632) {
        simulator_->plug(modelOf(kind), keyboardProduct);
        ASSERT_TRUE(device::connectSession(session(kind), kind));
    }

    // Applies what choosing the mode on the page does, as `quellixctl fx`.
    void choose(DeviceKind kind, const lighting::LightingFields& f, unsigned variant = 0) {
        switch (kind) {
        case DeviceKind::Keyboard:
            records_.keyboardVariant = static_cast<std::uint8_t>(variant);
            lighting::writeLightingFields(f, records_.keyboard.span());
            lighting::changeKeyboardMode(state_->keyboard, variant, f.mode);
            break;
        case DeviceKind::Mouse:
            lighting::writeLightingFields(f, records_.mouse.span());
            lighting::changeMouseMode(state_->mouse, f.mode, f.direction);
            break;
        case DeviceKind::MousePad:
            lighting::writeLightingFields(f, records_.pad.span());
            lighting::changePadMode(state_->pad, f.mode);
            break;
        }
    }

    void start(std::function<void(platform::Event&)> body) {
        auto stop = std::make_unique<platform::Event>(platform::Event::Reset::Manual);
        platform::Event* event = stop.get();
        stops_.push_back(std::move(stop));
        threads_.emplace_back([body = std::move(body), event] { body(*event); });
    }
    void startKind(DeviceKind kind) {
        start([this, kind](platform::Event& stop) { workers_.runKind(kind, stop); });
    }
    void startSync() {
        start([this](platform::Event& stop) { workers_.runSync(stop); });
    }
    void stopAll() {
        for (auto& stop : stops_) {
            stop->set();
        }
        for (auto& thread : threads_) {
            thread.join();
        }
        threads_.clear();
        stops_.clear();
    }
    LightingWorkers& workers() { return workers_; }

    std::uint64_t ledFrames(DeviceKind kind) const {
        return simulator_->stats(modelOf(kind)).ledFrames;
    }

    // The LED frames the device received, in order, put together from its
    // command-18 requests.
    std::vector<Frame> received(DeviceKind kind, std::size_t frameLength) {
        const sim::DeviceStats stats = simulator_->stats(modelOf(kind));
        EXPECT_EQ(stats.requestLog.size(), stats.framesReceived)
            << "the simulator's request log overflowed: run fewer frames";
        std::vector<Frame> frames;
        Frame current;
        for (const auto& request : stats.requestLog) {
            if (request[3] != 18) {
                continue;
            }
            const std::size_t length = request[4];
            const std::size_t offset = std::size_t{request[5]} | std::size_t{request[6]} << 8;
            if (offset == 0) {
                current.clear();
            }
            current.insert(current.end(), request.begin() + device::kFrameHeaderSize,
                           request.begin() + long(device::kFrameHeaderSize + length));
            if (offset + length == frameLength) {
                frames.push_back(current);
            }
        }
        return frames;
    }

    // Runs the kind's worker until the device has `count` frames, stops it
    // and returns what the device received.
    std::vector<Frame> runKind(DeviceKind kind, std::uint64_t count, std::size_t frameLength) {
        startKind(kind);
        EXPECT_TRUE(eventually([&] { return ledFrames(kind) >= count; }));
        stopAll();
        return received(kind, frameLength);
    }

private:
    platform::ManualClock clock_;
    std::unique_ptr<sim::Simulator> simulator_;
    std::array<device::DeviceSession, 3> sessions_;
    std::unique_ptr<lighting::LightingState> state_ = std::make_unique<lighting::LightingState>();
    platform::Shared<int> framesEnabled_{1};
    lighting::OwnedLightingRecords records_;
    LightingWorkers workers_{
        *state_, {&sessions_[0], &sessions_[1], &sessions_[2]}, framesEnabled_, records_};
    std::vector<std::unique_ptr<platform::Event>> stops_;
    std::vector<std::thread> threads_;
};

// Waits (in real time, with a generous limit) until the condition holds.
bool eventually(const std::function<bool()>& condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// `got` is a run of at least four frames equal to `expected` from `skip` on.
void expectRunOf(const std::vector<Frame>& got, const std::vector<Frame>& expected,
                 std::size_t skip = 0) {
    ASSERT_GE(got.size(), 4u);
    ASSERT_LE(got.size() + skip, expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i], expected[i + skip]) << "frame " << i;
    }
}

struct KindCase {
    const char* what;
    DeviceKind kind;
    lighting::LightingFields fields;
    std::size_t frameLength;
};

TEST(LightingWorkers, PadAndMouseReceiveTheEngineFramesInOrder) {
    const KindCase cases[] = {
        {"pad wave, multicolour", DeviceKind::MousePad, {0, 0, 4, 0, 1, 1, 0, 0, 0}, 33},
        {"pad breathing, one colour", DeviceKind::MousePad, {0, 2, 3, 1, 0, 0, 0, 200, 90}, 33},
        {"pad travelling light", DeviceKind::MousePad, {0, 5, 4, 0, 0, 1, 0, 0, 0}, 33},
        {"pad scanner", DeviceKind::MousePad, {0, 7, 4, 0, 0, 1, 0, 0, 0}, 33},
        {"mouse zone wave, one colour", DeviceKind::Mouse, {0, 0, 4, 1, 0, 0, 255, 40, 0}, 60},
        {"mouse bar", DeviceKind::Mouse, {0, 4, 2, 0, 1, 1, 0, 0, 0}, 60},
        {"mouse travelling light", DeviceKind::Mouse, {0, 5, 4, 0, 1, 0, 9, 99, 200}, 60},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.plug(c.kind);
        rig.choose(c.kind, c.fields);
        const std::vector<Frame> got = rig.runKind(c.kind, 40, c.frameLength);
        expectRunOf(got, fxFrames({fxKind(c.kind), "--fields", fieldsText(c.fields), "--frames",
                                   std::to_string(got.size())}));
    }
}

TEST(LightingWorkers, KeyboardVariantsReceiveTheEngineFramesInOrder) {
    struct Case {
        const char* what;
        std::uint16_t product;
        unsigned variant;
        lighting::LightingFields fields;
        std::size_t frameLength;
        std::size_t skip; // the full-colour sender's first call sends nothing
    };
    const Case cases[] = {
        {"column wave", 0x7513, 0, {0, 0, 4, 0, 1, 1, 0, 0, 0}, 378, 1},
        {"ripple", 0x7513, 0, {0, 5, 4, 0, 0, 1, 0, 0, 0}, 378, 1},
        {"stars", 0x763E, 2, {0, 9, 4, 0, 0, 1, 0, 0, 0}, 378, 1},
        {"rings", 0x763E, 2, {0, 13, 3, 0, 0, 0, 0, 0, 0}, 378, 1},
        {"one-colour level wave", 0x0632, 1, {0, 0, 4, 0, 1, 0, 0, 0, 0}, 126, 0},
        {"one-colour snake", 0x0632, 1, {0, 10, 4, 0, 0, 0, 0, 0, 0}, 108, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.plug(DeviceKind::Keyboard, c.product);
        rig.choose(DeviceKind::Keyboard, c.fields, c.variant);
        const std::vector<Frame> got = rig.runKind(DeviceKind::Keyboard, 20, c.frameLength);
        expectRunOf(got,
                    fxFrames({"keyboard", "--variant", std::to_string(c.variant), "--fields",
                              fieldsText(c.fields), "--frames", std::to_string(got.size() + 1)}),
                    c.skip);
    }
}

TEST(LightingWorkers, SynchronisedPadReceivesTheSynchronisedEffect) {
    for (const lighting::LightingFields fields :
         {lighting::LightingFields{0, 0, 4, 2, 1, 1, 0, 0, 0},
          lighting::LightingFields{0, 2, 3, 0, 0, 0, 20, 200, 30}}) {
        SCOPED_TRACE(int(fields.mode));
        Rig rig;
        rig.plug(DeviceKind::MousePad);
        rig.choose(DeviceKind::MousePad, fields);
        const std::uint8_t sync[] = {fields.mode,      fields.brightness, fields.speed,
                                     fields.direction, fields.multicolor, fields.red,
                                     fields.green,     fields.blue};
        rig.records().sync.copyIn(sync);
        rig.session(DeviceKind::MousePad).syncActive = 1;
        // The pad's own worker stays out of the way while synchronised.
        rig.startKind(DeviceKind::MousePad);
        rig.startSync();
        rig.workers().syncActivated();
        ASSERT_TRUE(eventually([&] { return rig.ledFrames(DeviceKind::MousePad) >= 40; }));
        rig.stopAll();
        const std::vector<Frame> got = rig.received(DeviceKind::MousePad, 33);
        expectRunOf(got, fxFrames({"pad", "--sync", "--fields", fieldsText(fields), "--frames",
                                   std::to_string(got.size())}));
    }
}

TEST(LightingWorkers, KeyboardInItsOwnEffectReceivesNothing) {
    Rig rig;
    rig.plug(DeviceKind::Keyboard, 0x763E);
    rig.choose(DeviceKind::Keyboard, {0, 16, 4, 0, 0, 0, 0, 0, 0}, 2);
    rig.startKind(DeviceKind::Keyboard);
    // Many iterations go by without a frame.
    const std::uint64_t passes = rig.clock().passes();
    ASSERT_TRUE(eventually([&] { return rig.clock().passes() > passes + 200; }));
    EXPECT_EQ(rig.ledFrames(DeviceKind::Keyboard), 0u);
}

TEST(LightingWorkers, SuspendStopsTheFramesAndResumeBringsThemBack) {
    Rig rig;
    rig.plug(DeviceKind::MousePad);
    rig.plug(DeviceKind::Mouse);
    rig.plug(DeviceKind::Keyboard, 0x7513);
    for (DeviceKind kind : device::kAllDeviceKinds) {
        rig.startKind(kind);
    }
    const auto allAbove = [&](std::uint64_t n) {
        return rig.ledFrames(DeviceKind::MousePad) > n && rig.ledFrames(DeviceKind::Mouse) > n &&
               rig.ledFrames(DeviceKind::Keyboard) > n;
    };
    ASSERT_TRUE(eventually([&] { return allAbove(3); }));

    rig.framesEnabled() = 0;
    // Frames already on their way (a keyboard frame takes several chunks)
    // still arrive: wait until no count moves over a stretch of iterations.
    const auto counts = [&] {
        std::array<std::uint64_t, 3> now{};
        for (DeviceKind kind : device::kAllDeviceKinds) {
            now[device::kindIndex(kind)] = rig.ledFrames(kind);
        }
        return now;
    };
    std::array<std::uint64_t, 3> suspended = counts();
    std::uint64_t passes = rig.clock().passes();
    ASSERT_TRUE(eventually([&] {
        if (rig.clock().passes() <= passes + 50) {
            return false;
        }
        const auto now = counts();
        const bool settled = now == suspended;
        suspended = now;
        passes = rig.clock().passes();
        return settled;
    }));
    passes = rig.clock().passes();
    ASSERT_TRUE(eventually([&] { return rig.clock().passes() > passes + 300; }));
    for (DeviceKind kind : device::kAllDeviceKinds) {
        EXPECT_EQ(rig.ledFrames(kind), suspended[device::kindIndex(kind)]) << int(kind);
    }

    rig.framesEnabled() = 1;
    EXPECT_TRUE(eventually([&] {
        return rig.ledFrames(DeviceKind::MousePad) > suspended[2] + 3 &&
               rig.ledFrames(DeviceKind::Mouse) > suspended[1] + 3 &&
               rig.ledFrames(DeviceKind::Keyboard) > suspended[0] + 3;
    }));
}

TEST(LightingWorkers, OneColourKeyboardGoesOnWhileSuspended) {
    Rig rig;
    rig.plug(DeviceKind::Keyboard, 0x0632);
    rig.choose(DeviceKind::Keyboard, {0, 2, 4, 0, 0, 0, 0, 0, 0}, 1);
    rig.framesEnabled() = 0;
    rig.startKind(DeviceKind::Keyboard);
    EXPECT_TRUE(eventually([&] { return rig.ledFrames(DeviceKind::Keyboard) > 5; }));
}

TEST(LightingWorkers, StopEndsEveryWorkerDuringItsLongestPause) {
    // Real clock, the start pause and the synchronised worker's idle wait:
    // setting the stop events ends all four at once.
    Rig rig;
    LightingWorkerTiming timing;
    timing.startDelay = std::chrono::hours(1);
    timing.syncIdleCheck = std::chrono::hours(1);
    rig.workers().setTiming(timing);
    rig.plug(DeviceKind::MousePad);
    for (DeviceKind kind : device::kAllDeviceKinds) {
        rig.startKind(kind);
    }
    rig.startSync();
    rig.stopAll(); // returns only once every thread has ended
    SUCCEED();
}

} // namespace
} // namespace quellix::app

// Writes the factory default profile files into a folder (default: the
// current one).
//
// Lighting: every kind starts with the multicolour wave (mode 0) at full
// brightness and middle speed.  The mouse keeps the DPI stages 800, 1600,
// 3200 and 6400 with red, green, blue and yellow indicators, stage 2
// active, report-rate item 3, pointer speed 12 (slider 5) and three wheel
// lines.  Key tables: each device's own factory table, read from the
// simulated firmware through the report protocol exactly as the program
// reads a device's default keys, so the files match the devices' memory.

#include "quellix/config/device_configs.h"
#include "quellix/device/session_connect.h"
#include "quellix/hid/device.h"
#include "quellix/profiles/families.h"
#include "quellix/sim/simulator.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace quellix;
namespace fs = std::filesystem;

const config::SlotLighting kWave{0, 0, 4, 2, 0, 1, {255, 0, 0}};

bool write(const fs::path& dir, std::string_view name, profiles::ProfileKind kind,
           std::span<const std::uint8_t> payload) {
    if (!profiles::writeProfileFile(dir / name, kind, payload)) {
        std::fprintf(stderr, "quellix-make-defaults: cannot write %s\n",
                     (dir / name).string().c_str());
        return false;
    }
    std::printf("%s (%zu payload bytes)\n", (dir / name).string().c_str(), payload.size());
    return true;
}

// Connects to a simulated device and runs `read` on it.
template <typename Read>
bool readFrom(sim::Simulator& simulator, sim::Model model, device::DeviceKind kind,
              std::uint16_t keyboardProduct, Read&& read) {
    simulator.plug(model, keyboardProduct);
    device::DeviceSession session;
    session.hid.source = hid::DeviceSource::simulator(simulator.dir());
    session.setIdentity(device::identityOf(kind));
    const Result connected = device::connectSession(session, kind);
    if (!connected) {
        std::fprintf(stderr, "quellix-make-defaults: %s\n", connected.describe().c_str());
        return false;
    }
    const bool ok = read(session);
    device::disconnectSession(session);
    simulator.unplug(model);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::current_path();
    sim::Simulator simulator(sim::Options{.dir = {}, .replyLatency = std::chrono::microseconds(0)});
    auto configs = std::make_unique<config::DeviceConfigs>();
    bool ok = true;

    // Mouse pad: slot 0 with the wave.
    config::PadLightingPayload pad{};
    config::encodeLighting(kWave, pad);
    ok &= write(dir, "mpdengdefault.led", profiles::ProfileKind::MousePad, pad);

    // Mouse: lighting slot and the factory key table.
    config::MouseSlotSettings mouse;
    mouse.lighting = kWave;
    mouse.reportRate = 3;
    mouse.dpiLevels = {6, 14, 30, 55};
    mouse.dpiStage = 1;
    mouse.dpiColours = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}}};
    config::MouseLightingPayload mouseLighting{};
    config::encodeMouseSlot(mouse, mouseLighting);
    mouseLighting[config::mouse_field::kPointerSpeed] = 12;
    mouseLighting[config::mouse_field::kWheelSpeed] = 3;
    ok &= write(dir, "msdengdefault.led", profiles::ProfileKind::Mouse, mouseLighting);
    ok &= readFrom(simulator, sim::Model::Mouse, device::DeviceKind::Mouse, 0,
                   [&](device::DeviceSession& session) {
                       std::lock_guard hold(session.lock);
                       FirstFailure failure;
                       failure.note(session.beginTransfer());
                       failure.note(session.readDefaultKeys(configs->mouse.defaultKeys));
                       failure.note(session.endTransfer());
                       return failure.result().ok();
                   });
    config::MouseDevicePayload device{};
    std::ranges::copy(configs->mouse.defaultKeys, device.begin());
    std::ranges::copy(mouseLighting, device.begin() + config::kKeyProfileBytes);
    ok &= write(dir, "msdevicedefault.config", profiles::ProfileKind::Mouse, device);
    ok &= write(dir, "mskeydefault.pro", profiles::ProfileKind::Mouse, configs->mouse.defaultKeys);

    // Keyboards, one pair of files per variant.
    config::KeyboardSlotSettings keyboard;
    keyboard.lighting = kWave;
    keyboard.colourA = keyboard.colourB = {255, 255, 255};
    for (int variant = 0; variant < config::kKeyboardVariants; ++variant) {
        config::KeyboardLightingPayload lighting{};
        config::encodeKeyboardSlot(keyboard, lighting);
        config::writeRgb({255, 0, 0}, lighting, config::kSlotBytes + 1); // painting colour
        ok &= write(dir, profiles::defaultFileName(profiles::Family::KeyboardLighting, variant),
                    profiles::ProfileKind::Keyboard, lighting);
        const std::uint16_t product = *device::keyboardProductOf(variant);
        ok &= readFrom(simulator, sim::Model::Keyboard, device::DeviceKind::Keyboard, product,
                       [&](device::DeviceSession& session) {
                           configs->keyboard.defaultKeys = {};
                           return config::readKeyboardDefaultKeys(configs->keyboard, session).ok();
                       });
        ok &= write(dir, config::defaultKeyProfileFile(variant), profiles::ProfileKind::Keyboard,
                    configs->keyboard.defaultKeys);
    }
    return ok ? 0 : 1;
}

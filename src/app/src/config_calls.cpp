#include "quellix/app/config_calls.h"

#include "quellix/platform/debug.h"
#include "quellix/platform/paths.h"
#include "quellix/profiles/families.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <mutex>
#include <vector>

namespace quellix::app {

using device::DeviceKind;
using profiles::Family;

namespace {

std::filesystem::path platformDirectory(DeviceKind kind) {
    switch (kind) {
    case DeviceKind::Keyboard:
        return platform::keyboardDir();
    case DeviceKind::Mouse:
        return platform::mouseDir();
    case DeviceKind::MousePad:
        return platform::mousePadDir();
    }
    return {};
}

} // namespace

ConfigCalls::ConfigCalls(std::shared_ptr<config::DeviceConfigs> configs, SessionLookup sessions,
                         DirectoryLookup directories, MessageBox messageBox)
    : configs_(std::move(configs)), sessions_(std::move(sessions)),
      directories_(directories ? std::move(directories) : DirectoryLookup(platformDirectory)),
      messageBox_(std::move(messageBox)) {}

std::filesystem::path ConfigCalls::directory(DeviceKind kind) const {
    return directories_(kind);
}

namespace {

// Reads a family's profile at a catalogue position, exactly; on success
// hands the payload to `apply` with the kind's session lock held.
template <typename Apply>
bool loadFamily(Family family, const std::filesystem::path& directory, int position,
                device::DeviceSession& session, const std::filesystem::path& defaultsDir,
                Apply&& apply, int keyboardVariant = 0) {
    const auto& info = profiles::familyInfo(family);
    std::vector<std::uint8_t> payload(info.payloadBytes, 0);
    const std::filesystem::path path = profiles::loadPath(family, directory, position);
    const Result result =
        path.empty()
            ? Result::failure(Status::FileError, "no profile name", ENOENT)
            : profiles::readProfileFile(path, profiles::ReadMode::Exact, info.kind, payload);
    if (!result) {
        platform::debugOutput(std::string(profiles::readDiagnostic(result)) + " " + path.string() +
                              ": " + result.describe());
        // A file that is there but not such a profile is refused; one that
        // cannot be read (none yet, not a file) leaves the factory default.
        if (result == Status::BadFile) {
            return false;
        }
        // No profile yet (a first run): the device starts from the factory
        // default shipped beside the program, not from zeros.
        const std::filesystem::path fallback =
            defaultsDir / std::string(profiles::defaultFileName(family, keyboardVariant));
        std::fill(payload.begin(), payload.end(), 0);
        if (const Result read = profiles::readProfileFile(fallback, profiles::ReadMode::Lenient,
                                                          info.kind, payload);
            !read) {
            platform::debugOutput("no factory default " + fallback.string() + ": " +
                                  read.describe());
            return false;
        }
    }
    {
        std::lock_guard hold(session.lock);
        apply(payload);
    }
    platform::debugOutput(std::string(info.name) +
                          " profile applied: " + (result ? path.string() : "factory default"));
    return true;
}

// Composes a family's payload with the session lock held, then writes it to
// the profile the catalogue selects.
template <typename Compose>
Result saveFamily(Family family, const std::filesystem::path& directory,
                  device::DeviceSession& session, Compose&& compose) {
    const auto& info = profiles::familyInfo(family);
    std::vector<std::uint8_t> payload;
    {
        std::lock_guard hold(session.lock);
        const auto composed = compose();
        payload.assign(composed.begin(), composed.end());
    }
    const std::filesystem::path path = profiles::savePath(family, directory);
    if (path.empty()) {
        platform::debugOutput(std::string(profiles::kWriteFailedDiagnostic) + ": the " +
                              std::string(info.name) + " profile has no usable name");
        return Result::failure(Status::BadFile, "the " + std::string(info.name) +
                                                    " catalogue names no usable profile");
    }
    return profiles::writeProfileFile(path, info.kind, payload);
}

} // namespace

void ConfigCalls::readPadImage(device::DeviceSession& pad) {
    imageReads_[device::kindIndex(DeviceKind::MousePad)].note(
        config::readPadImage(configs_->pad, pad));
}

void ConfigCalls::loadPadLighting(int profile) {
    loadPadLightingAt(profile);
}

bool ConfigCalls::loadPadLightingAt(int profile) {
    return loadFamily(Family::PadLighting, directory(DeviceKind::MousePad), profile,
                      session(DeviceKind::MousePad), defaultsDir_, [&](const auto& payload) {
                          config::applyPadLighting(configs_->pad, payload);
                      });
}

void ConfigCalls::loadMouseDevice(int profile) {
    const bool loaded = loadFamily(
        Family::MouseDevice, directory(DeviceKind::Mouse), profile, session(DeviceKind::Mouse),
        defaultsDir_, [&](const auto& payload) {
            config::applyMouseDevice(
                configs_->mouse, std::span<const std::uint8_t, config::kMouseDevicePayloadBytes>(
                                     payload.data(), config::kMouseDevicePayloadBytes));
        });
    if (loaded) {
        applyWheelSpeed();
    }
}

bool ConfigCalls::loadMouseLighting(int profile) {
    return loadFamily(Family::MouseLighting, directory(DeviceKind::Mouse), profile,
                      session(DeviceKind::Mouse), defaultsDir_, [&](const auto& payload) {
                          config::applyMouseLighting(configs_->mouse, payload);
                      });
}

bool ConfigCalls::loadMouseKeys(int profile) {
    return loadFamily(Family::MouseKeys, directory(DeviceKind::Mouse), profile,
                      session(DeviceKind::Mouse), defaultsDir_, [&](const auto& payload) {
                          config::applyMouseKeys(
                              configs_->mouse,
                              std::span<const std::uint8_t, config::kKeyProfileBytes>(
                                  payload.data(), config::kKeyProfileBytes));
                      });
}

void ConfigCalls::readMouseImage(device::DeviceSession& mouse) {
    imageReads_[device::kindIndex(DeviceKind::Mouse)].note(
        config::readMouseImage(configs_->mouse, mouse));
    // An absent mouse gave nothing new: its profiles keep what they hold.
    if (mouse.connected.load() != 1) {
        return;
    }
    FirstFailure saved;
    saved.note(saveMouseKeys());
    saved.note(saveMouseDevice());
    profileSaves_.note(saved.result());
}

void ConfigCalls::setKeyboardVariant(int variant) {
    if (variant >= 0 && variant < config::kKeyboardVariants) {
        configs_->keyboard.variant.store(static_cast<std::uint8_t>(variant));
    }
}

void ConfigCalls::readKeyboardImage(device::DeviceSession& keyboard) {
    const Result read = config::readKeyboardImage(configs_->keyboard, keyboard);
    imageReads_[device::kindIndex(DeviceKind::Keyboard)].note(read);
    if (read == Status::Unsupported) {
        if (messageBox_) {
            messageBox_(kTooManyKeysMessage);
        }
        return;
    }
    if (keyboard.connected.load() != 1) {
        return; // nothing was read from an absent keyboard
    }
    profileSaves_.note(saveKeyboardKeys());
}

void ConfigCalls::loadKeyboardLighting(int profile) {
    loadFamily(
        Family::KeyboardLighting, directory(DeviceKind::Keyboard), profile,
        session(DeviceKind::Keyboard), defaultsDir_,
        [&](const auto& payload) {
            config::applyKeyboardLighting(
                configs_->keyboard,
                std::span<const std::uint8_t, config::kKeyboardLightingPayloadBytes>(
                    payload.data(), config::kKeyboardLightingPayloadBytes));
        },
        configs_->keyboard.variant.load());
}

bool ConfigCalls::loadKeyboardKeys(int profile) {
    return loadFamily(
        Family::KeyboardKeys, directory(DeviceKind::Keyboard), profile,
        session(DeviceKind::Keyboard), defaultsDir_,
        [&](const auto& payload) {
            config::applyKeyboardKeys(configs_->keyboard,
                                      std::span<const std::uint8_t, device::kKeyBlockSize>(
                                          payload.data(), device::kKeyBlockSize));
        },
        configs_->keyboard.variant.load());
}

Result ConfigCalls::savePadLighting() {
    return saveFamily(Family::PadLighting, directory(DeviceKind::MousePad),
                      session(DeviceKind::MousePad),
                      [&] { return config::composePadLighting(configs_->pad); });
}

Result ConfigCalls::saveMouseLighting() {
    return saveFamily(Family::MouseLighting, directory(DeviceKind::Mouse),
                      session(DeviceKind::Mouse),
                      [&] { return config::composeMouseLighting(configs_->mouse); });
}

Result ConfigCalls::saveMouseDevice() {
    return saveFamily(Family::MouseDevice, directory(DeviceKind::Mouse), session(DeviceKind::Mouse),
                      [&] { return config::composeMouseDevice(configs_->mouse); });
}

Result ConfigCalls::saveMouseKeys() {
    return saveFamily(Family::MouseKeys, directory(DeviceKind::Mouse), session(DeviceKind::Mouse),
                      [&] { return config::composeMouseKeys(configs_->mouse); });
}

Result ConfigCalls::saveKeyboardLighting() {
    return saveFamily(Family::KeyboardLighting, directory(DeviceKind::Keyboard),
                      session(DeviceKind::Keyboard),
                      [&] { return config::composeKeyboardLighting(configs_->keyboard); });
}

Result ConfigCalls::saveKeyboardKeys() {
    return saveFamily(Family::KeyboardKeys, directory(DeviceKind::Keyboard),
                      session(DeviceKind::Keyboard),
                      [&] { return config::composeKeyboardKeys(configs_->keyboard); });
}

namespace {

// The payload bytes a reset gives, the rest left zero (a short default file
// fills only the front).
template <std::size_t N> std::array<std::uint8_t, N> padded(std::span<const std::uint8_t> bytes) {
    std::array<std::uint8_t, N> out{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), N), out.begin());
    return out;
}

} // namespace

Result ConfigCalls::resetPadLighting(std::span<const std::uint8_t> defaults) {
    {
        std::lock_guard hold(session(DeviceKind::MousePad).lock);
        // Only the bytes the default file gave: the rest of the slot stays.
        config::applyPadLighting(configs_->pad,
                                 defaults.first(std::min(defaults.size(), config::kSlotBytes)));
    }
    return savePadLighting();
}

Result ConfigCalls::resetKeyboardLighting(std::span<const std::uint8_t> defaults) {
    placeKeyboardLighting(defaults);
    return saveKeyboardLighting();
}

void ConfigCalls::placeKeyboardLighting(std::span<const std::uint8_t> payload) {
    const auto bytes = padded<config::kKeyboardLightingPayloadBytes>(payload);
    std::lock_guard hold(session(DeviceKind::Keyboard).lock);
    config::applyKeyboardLighting(configs_->keyboard, bytes);
}

Result ConfigCalls::resetKeyboardKeys(std::span<const std::uint8_t> defaults) {
    const auto bytes = padded<device::kKeyBlockSize>(defaults);
    {
        std::lock_guard hold(session(DeviceKind::Keyboard).lock);
        config::applyKeyboardKeys(configs_->keyboard, bytes);
    }
    FirstFailure failure;
    failure.note(saveKeyboardKeys());
    failure.note(writeKeyboardKeyPage());
    return failure.take();
}

namespace {

// Slot 0 and the record from a lighting payload, keeping the speeds the
// mouse had (the reset sets its own after the save).
void placeMouseLighting(config::MouseConfig& mouse, std::span<const std::uint8_t> lighting) {
    const std::uint8_t pointer = mouse.pointerSpeed.load();
    const std::uint8_t wheel = mouse.wheelSpeed.load();
    config::applyMouseLighting(mouse, lighting);
    mouse.pointerSpeed.store(pointer);
    mouse.wheelSpeed.store(wheel);
}

// The first `n` bytes of slot 0, as the mouse keeps them at offset 0.
Result writeMouseSlotFront(config::MouseConfig& mouse, device::DeviceSession& mouseSession,
                           std::size_t n) {
    std::vector<std::uint8_t> front;
    {
        std::lock_guard hold(mouseSession.lock);
        const auto slot = mouse.image.slot(0);
        front.assign(slot.begin(), slot.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return mouseSession.writeBlock(0, front);
}

} // namespace

Result ConfigCalls::resetMouseDevice(std::span<const std::uint8_t> defaults) {
    const auto bytes = padded<config::kMouseDevicePayloadBytes>(defaults);
    auto& mouse = configs_->mouse;
    {
        std::lock_guard hold(session(DeviceKind::Mouse).lock);
        std::copy_n(bytes.begin(), config::kKeyProfileBytes, mouse.keyPages[0].begin());
        placeMouseLighting(mouse,
                           std::span<const std::uint8_t>(bytes).subspan(config::kKeyProfileBytes));
    }
    FirstFailure failure;
    failure.note(saveMouseDevice());
    failure.note(writeMouseSlotFront(mouse, session(DeviceKind::Mouse), config::kMouseRecordBytes));
    mouse.pointerSpeed.store(kResetPointerSpeed);
    mouse.wheelSpeed.store(kDeviceResetWheelSpeed);
    applyWheelSpeed();
    failure.note(writeMouseKeyPage());
    return failure.take();
}

Result ConfigCalls::resetMouseLighting(std::span<const std::uint8_t> defaults) {
    auto& mouse = configs_->mouse;
    const std::size_t n = std::min(defaults.size(), config::kSlotBytes);
    {
        std::lock_guard hold(session(DeviceKind::Mouse).lock);
        placeMouseLighting(mouse, defaults.first(n));
    }
    FirstFailure failure;
    failure.note(saveMouseLighting());
    failure.note(saveMouseDevice());
    failure.note(writeMouseSlotFront(mouse, session(DeviceKind::Mouse), n));
    mouse.pointerSpeed.store(kResetPointerSpeed);
    mouse.wheelSpeed.store(kLightingResetWheelSpeed);
    applyWheelSpeed();
    return failure.take();
}

Result ConfigCalls::resetMouseKeys(std::span<const std::uint8_t> defaults) {
    const auto bytes = padded<config::kKeyProfileBytes>(defaults);
    {
        std::lock_guard hold(session(DeviceKind::Mouse).lock);
        config::applyMouseKeys(configs_->mouse, bytes);
    }
    FirstFailure failure;
    failure.note(saveMouseKeys());
    failure.note(writeMouseKeyPage());
    return failure.take();
}

namespace {

// Key page 0 from the host's copy, taken under the lock and written after.
Result writeKeyPageZero(device::DeviceSession& session, const device::KeyBlock& source) {
    device::KeyBlock block;
    {
        std::lock_guard hold(session.lock);
        block = source;
    }
    return session.writeKeyPage(0, block).context("writing key page 0");
}

} // namespace

Result ConfigCalls::writeMouseKeyPage() {
    return writeKeyPageZero(session(DeviceKind::Mouse), configs_->mouse.keyPages[0]);
}

Result ConfigCalls::writeKeyboardKeyPage() {
    return writeKeyPageZero(session(DeviceKind::Keyboard), configs_->keyboard.keyPage);
}

void ConfigCalls::applyWheelSpeed() {
    if (applyWheelSpeed_) {
        applyWheelSpeed_(configs_->mouse.wheelSpeed.load());
    }
}

} // namespace quellix::app

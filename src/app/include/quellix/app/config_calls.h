#pragma once
// The configuration reads and profile loads and saves of the three devices,
// on the images and records of one DeviceConfigs.
//
// Each operation takes its kind's session lock while it changes the images
// (the transfers take it themselves), so the detection workers and the UI
// thread can run them at the same time; the file reads and writes run
// outside the lock.  Loads and saves write their failures to the debug
// output only; nothing here touches a control.

#include "quellix/app/device_config_calls.h"
#include "quellix/config/device_configs.h"
#include "quellix/device/device_kind.h"
#include "quellix/platform/paths.h"
#include "quellix/platform/reason_log.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

namespace quellix::app {

class ConfigCalls final : public DeviceConfigCalls {
public:
    using SessionLookup = std::function<device::DeviceSession&(device::DeviceKind)>;
    // The data directory of a kind's catalogues and profiles.
    using DirectoryLookup = std::function<std::filesystem::path(device::DeviceKind)>;
    // Shows a message box by language key; may be called on a worker, so it
    // must hand the box to the UI thread.
    using MessageBox = std::function<void(std::string_view key)>;

    ConfigCalls(std::shared_ptr<config::DeviceConfigs> configs, SessionLookup sessions,
                DirectoryLookup directories = {}, MessageBox messageBox = {});

    config::DeviceConfigs& configs() { return *configs_; }
    // Where the factory default profiles lie (the program's folder unless
    // set): a family without a profile yet is loaded from there.
    void setFactoryDefaultsDir(std::filesystem::path dir) { defaultsDir_ = std::move(dir); }
    const std::filesystem::path& factoryDefaultsDir() const { return defaultsDir_; }
    device::DeviceSession& session(device::DeviceKind kind) { return sessions_(kind); }
    // The data directory of a kind's catalogues and profiles.
    std::filesystem::path dataDirectory(device::DeviceKind kind) const { return directory(kind); }
    // Takes the wheel speed of every device profile loaded (the desktop's
    // wheel lines follow the profile).  May be called on a detection
    // worker: it must hand the setting to the UI thread.
    void setWheelSpeedApplier(std::function<void(int lines)> apply) {
        applyWheelSpeed_ = std::move(apply);
    }

    // DeviceConfigCalls: what a connection runs.
    void readPadImage(device::DeviceSession& pad) override;
    void loadPadLighting(int profile) override;
    void loadMouseDevice(int profile) override;
    // Reads the mouse, then stores its key page 0 and slot 0 into the
    // selected key and device profiles (not when the mouse is absent: the
    // read then gave nothing to store).
    void readMouseImage(device::DeviceSession& mouse) override;
    void setKeyboardVariant(int variant) override;
    // Reads the keyboard, then stores its key page into the selected key
    // profile (not when the keyboard is absent).  Too many keys:
    // kTooManyKeysMessage and nothing saved.
    void readKeyboardImage(device::DeviceSession& keyboard) override;
    void loadKeyboardLighting(int profile) override;

    // The other loads; each returns true when the profile was applied.
    bool loadPadLightingAt(int profile);
    bool loadMouseLighting(int profile);
    bool loadMouseKeys(int profile);
    bool loadKeyboardKeys(int profile);

    // Saves into the profile the family's catalogue selects (the file is
    // replaced, or the old one stays and the result says why).
    Result savePadLighting();
    Result saveMouseLighting();
    Result saveMouseDevice();
    Result saveMouseKeys();
    Result saveKeyboardLighting();
    Result saveKeyboardKeys();

    // The "reset to default" of each profile family: `defaults` is what was
    // read from the family's factory default file.  Each puts it into the
    // images and records, saves the selected profile and, for a mouse or a
    // keyboard, writes what the device keeps (its key page 0, the lighting
    // bytes of slot 0).  The mouse resets then set the pointer and wheel
    // speeds of a fresh profile, after the save, so the profile keeps the
    // speeds it had.  Every step runs; the first failure is returned.
    Result resetPadLighting(std::span<const std::uint8_t> defaults);
    Result resetKeyboardLighting(std::span<const std::uint8_t> defaults);
    Result resetKeyboardKeys(std::span<const std::uint8_t> defaults);
    Result resetMouseDevice(std::span<const std::uint8_t> defaults);
    Result resetMouseLighting(std::span<const std::uint8_t> defaults);
    Result resetMouseKeys(std::span<const std::uint8_t> defaults);
    // A new keyboard lighting profile starts from the default it was made
    // of: the payload becomes the keyboard's lighting state as a load would.
    void placeKeyboardLighting(std::span<const std::uint8_t> payload);
    // Writes the host's key block to the device as its key page 0.
    Result writeMouseKeyPage();
    Result writeKeyboardKeyPage();
    // Hands the mouse's wheel speed to the desktop (see setWheelSpeedApplier).
    void applyWheelSpeed();

    // Pointer and wheel speeds the mouse resets leave.
    static constexpr std::uint8_t kResetPointerSpeed = 10;
    static constexpr std::uint8_t kDeviceResetWheelSpeed = 6;
    static constexpr std::uint8_t kLightingResetWheelSpeed = 1;
    // The message of a keyboard reporting more keys than the key tables hold.
    static constexpr std::string_view kTooManyKeysMessage = "message_text_10";

private:
    std::filesystem::path directory(device::DeviceKind kind) const;

    std::shared_ptr<config::DeviceConfigs> configs_;
    std::filesystem::path defaultsDir_ = platform::programData().defaultsDir;
    SessionLookup sessions_;
    DirectoryLookup directories_;
    MessageBox messageBox_;
    std::function<void(int lines)> applyWheelSpeed_;
    // The connection's reads and saves retry with every connection: their
    // failures are logged once per change of reason.
    // By device::kindIndex.
    std::array<platform::ReasonLog, 3> imageReads_{platform::ReasonLog("keyboard image read"),
                                                   platform::ReasonLog("mouse image read"),
                                                   platform::ReasonLog("pad image read")};
    platform::ReasonLog profileSaves_{"profile save after a device read"};
};

} // namespace quellix::app

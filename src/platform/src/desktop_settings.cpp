#include "quellix/platform/desktop_settings.h"

#include "quellix/platform/debug.h"

#include <algorithm>
#include <cstdlib>

#include <dlfcn.h>

namespace quellix::platform {

namespace {

constexpr int kNormalSpeed = 10;
constexpr int kThreshold = 4;

class NoDesktopSettings final : public DesktopSettings {
public:
    bool supportsPointerSpeed() const override { return false; }
    bool supportsWheelLines() const override { return false; }
    bool setPointerSpeed(int) override { return false; }
    bool setWheelLines(int) override { return false; }
};

// libX11 is loaded at run time, so that the program and its tests run
// where there is no X11 at all.
class X11DesktopSettings final : public DesktopSettings {
public:
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    using ChangePointerControl = int (*)(void*, int, int, int, int, int);
    using Flush = int (*)(void*);

    static std::unique_ptr<DesktopSettings> open() {
        if (std::getenv("DISPLAY") == nullptr) {
            return nullptr;
        }
        void* library = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            return nullptr;
        }
        auto settings = std::unique_ptr<X11DesktopSettings>(new X11DesktopSettings(library));
        if (!settings->display_) {
            return nullptr;
        }
        return settings;
    }

    ~X11DesktopSettings() override {
        if (display_ != nullptr) {
            close_(display_);
        }
        ::dlclose(library_);
    }

    bool supportsPointerSpeed() const override { return true; }
    bool supportsWheelLines() const override { return false; }

    bool setPointerSpeed(int speed) override {
        const PointerAcceleration a = accelerationForSpeed(speed);
        change_(display_, 1, 1, a.numerator, a.denominator, a.threshold);
        flush_(display_);
        return true;
    }
    bool setWheelLines(int lines) override {
        debugOutputf("wheel lines %d: the X desktop has no such setting", lines);
        return false;
    }

private:
    explicit X11DesktopSettings(void* library) : library_(library) {
        auto openDisplay = reinterpret_cast<OpenDisplay>(::dlsym(library, "XOpenDisplay"));
        close_ = reinterpret_cast<CloseDisplay>(::dlsym(library, "XCloseDisplay"));
        change_ = reinterpret_cast<ChangePointerControl>(::dlsym(library, "XChangePointerControl"));
        flush_ = reinterpret_cast<Flush>(::dlsym(library, "XFlush"));
        if (openDisplay != nullptr && close_ != nullptr && change_ != nullptr &&
            flush_ != nullptr) {
            display_ = openDisplay(nullptr);
        }
    }

    void* library_;
    void* display_ = nullptr;
    CloseDisplay close_ = nullptr;
    ChangePointerControl change_ = nullptr;
    Flush flush_ = nullptr;
};

} // namespace

bool RecordingDesktopSettings::setPointerSpeed(int speed) {
    if (!pointer_) {
        return false;
    }
    pointerSpeeds.push_back(speed);
    return true;
}

bool RecordingDesktopSettings::setWheelLines(int lines) {
    if (!wheel_) {
        return false;
    }
    wheelLines.push_back(lines);
    return true;
}

PointerAcceleration accelerationForSpeed(int speed) {
    return {std::clamp(speed, 1, 20), kNormalSpeed, kThreshold};
}

std::unique_ptr<DesktopSettings> openDesktopSettings() {
    if (auto x11 = X11DesktopSettings::open()) {
        return x11;
    }
    return std::make_unique<NoDesktopSettings>();
}

} // namespace quellix::platform

#pragma once
// The desktop's pointer speed and wheel scroll lines.
//
// The pointer speed is given on the 1..20 scale the mouse page stores (10 is
// the desktop's normal speed); the real implementation turns it into X11
// pointer acceleration (XChangePointerControl: speed / 10, threshold 4).
// X11 has no setting for the lines a wheel notch scrolls: that setting is
// reported as unsupported and changes nothing.  Without an X server both
// are unsupported.

#include <memory>
#include <optional>
#include <vector>

namespace quellix::platform {

class DesktopSettings {
public:
    virtual ~DesktopSettings() = default;
    virtual bool supportsPointerSpeed() const = 0;
    virtual bool supportsWheelLines() const = 0;
    // True when the desktop took the value.
    virtual bool setPointerSpeed(int speed) = 0;
    virtual bool setWheelLines(int lines) = 0;
};

// Keeps every value it is given, for tests.
class RecordingDesktopSettings final : public DesktopSettings {
public:
    explicit RecordingDesktopSettings(bool pointer = true, bool wheel = true)
        : pointer_(pointer), wheel_(wheel) {}
    bool supportsPointerSpeed() const override { return pointer_; }
    bool supportsWheelLines() const override { return wheel_; }
    bool setPointerSpeed(int speed) override;
    bool setWheelLines(int lines) override;

    std::vector<int> pointerSpeeds;
    std::vector<int> wheelLines;

private:
    bool pointer_;
    bool wheel_;
};

// X11 acceleration for a 1..20 pointer speed (values outside are clamped).
struct PointerAcceleration {
    int numerator;
    int denominator;
    int threshold;
    friend bool operator==(const PointerAcceleration&, const PointerAcceleration&) = default;
};
PointerAcceleration accelerationForSpeed(int speed);

// The X server of $DISPLAY when libX11 and a server are there; otherwise a
// desktop that supports neither setting.
std::unique_ptr<DesktopSettings> openDesktopSettings();

} // namespace quellix::platform

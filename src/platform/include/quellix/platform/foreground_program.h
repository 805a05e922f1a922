#pragma once
// The program whose window is in front, identified by the full path of its
// executable.
//
// On X11 the window in front is the root window's _NET_ACTIVE_WINDOW, its
// process is that window's _NET_WM_PID and its executable is /proc/PID/exe.
// Without an X server, without an active window (a Wayland window in front)
// or without those properties the answer is "unknown" with the reason.

#include <filesystem>
#include <memory>
#include <string>

namespace quellix::platform {

struct ProgramInFront {
    // Empty when unknown; then `reason` says why.
    std::filesystem::path executable;
    std::string reason;
    bool known() const { return !executable.empty(); }
};

class ForegroundProgram {
public:
    virtual ~ForegroundProgram() = default;
    virtual ProgramInFront programInFront() = 0;
};

// The desktop's own: X11 when $DISPLAY names a server, else always unknown.
std::unique_ptr<ForegroundProgram> openForegroundProgram();

// Answers what the test set last, for tests.  Safe to set from another thread.
class FixedForegroundProgram final : public ForegroundProgram {
public:
    void setExecutable(const std::filesystem::path& executable);
    ProgramInFront programInFront() override;

private:
    struct State;
    std::shared_ptr<State> state_ = makeState();
    static std::shared_ptr<State> makeState();
};

} // namespace quellix::platform

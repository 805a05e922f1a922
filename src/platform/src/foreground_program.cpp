#include "quellix/platform/foreground_program.h"

#include <cstdlib>
#include <mutex>
#include <system_error>

#include <dlfcn.h>

namespace quellix::platform {

namespace {

class NoForegroundProgram final : public ForegroundProgram {
public:
    explicit NoForegroundProgram(std::string reason) : reason_(std::move(reason)) {}
    ProgramInFront programInFront() override { return {{}, reason_}; }

private:
    std::string reason_;
};

// libX11 is loaded at run time so that the program runs where there is no
// X11 at all.  Only the handful of calls below are used.
class X11ForegroundProgram final : public ForegroundProgram {
public:
    using Window = unsigned long;
    using Atom = unsigned long;
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    using DefaultRootWindow = Window (*)(void*);
    using InternAtom = Atom (*)(void*, const char*, int);
    using GetWindowProperty = int (*)(void*, Window, Atom, long, long, int, Atom, Atom*, int*,
                                      unsigned long*, unsigned long*, unsigned char**);
    using Free = int (*)(void*);

    static std::unique_ptr<ForegroundProgram> open() {
        void* library = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            return std::make_unique<NoForegroundProgram>("libX11 is not installed");
        }
        auto x11 = std::unique_ptr<X11ForegroundProgram>(new X11ForegroundProgram(library));
        if (x11->display_ == nullptr) {
            return std::make_unique<NoForegroundProgram>("no X server answers on $DISPLAY");
        }
        return x11;
    }

    ~X11ForegroundProgram() override {
        if (display_ != nullptr) {
            close_(display_);
        }
        ::dlclose(library_);
    }

    ProgramInFront programInFront() override {
        std::lock_guard lock(mutex_);
        unsigned long window = 0;
        if (!cardinal(root_(display_), activeWindow_, kWindowType, window) || window == 0) {
            return {{}, "no window is active on the X display"};
        }
        unsigned long pid = 0;
        if (!cardinal(window, wmPid_, kCardinalType, pid) || pid == 0) {
            return {{}, "the window in front does not give its process"};
        }
        std::error_code error;
        auto exe = std::filesystem::read_symlink(
            std::filesystem::path("/proc") / std::to_string(pid) / "exe", error);
        if (error) {
            return {{},
                    "the executable of process " + std::to_string(pid) +
                        " cannot be read: " + error.message()};
        }
        return {exe, {}};
    }

private:
    static constexpr Atom kCardinalType = 6; // XA_CARDINAL
    static constexpr Atom kWindowType = 33;  // XA_WINDOW

    explicit X11ForegroundProgram(void* library) : library_(library) {
        auto openDisplay = reinterpret_cast<OpenDisplay>(::dlsym(library, "XOpenDisplay"));
        close_ = reinterpret_cast<CloseDisplay>(::dlsym(library, "XCloseDisplay"));
        root_ = reinterpret_cast<DefaultRootWindow>(::dlsym(library, "XDefaultRootWindow"));
        auto intern = reinterpret_cast<InternAtom>(::dlsym(library, "XInternAtom"));
        property_ = reinterpret_cast<GetWindowProperty>(::dlsym(library, "XGetWindowProperty"));
        free_ = reinterpret_cast<Free>(::dlsym(library, "XFree"));
        if (openDisplay == nullptr || close_ == nullptr || root_ == nullptr || intern == nullptr ||
            property_ == nullptr || free_ == nullptr) {
            return;
        }
        display_ = openDisplay(nullptr);
        if (display_ != nullptr) {
            activeWindow_ = intern(display_, "_NET_ACTIVE_WINDOW", 0);
            wmPid_ = intern(display_, "_NET_WM_PID", 0);
        }
    }

    // Reads one 32-bit item (delivered by Xlib as a long) of a property.
    bool cardinal(Window window, Atom property, Atom type, unsigned long& value) {
        Atom actualType = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const int status = property_(display_, window, property, 0, 1, 0, type, &actualType,
                                     &format, &items, &after, &data);
        const bool ok = status == 0 && data != nullptr && format == 32 && items >= 1;
        if (ok) {
            value = *reinterpret_cast<unsigned long*>(data);
        }
        if (data != nullptr) {
            free_(data);
        }
        return ok;
    }

    void* library_;
    void* display_ = nullptr;
    CloseDisplay close_ = nullptr;
    DefaultRootWindow root_ = nullptr;
    GetWindowProperty property_ = nullptr;
    Free free_ = nullptr;
    Atom activeWindow_ = 0;
    Atom wmPid_ = 0;
    std::mutex mutex_;
};

} // namespace

std::unique_ptr<ForegroundProgram> openForegroundProgram() {
    if (std::getenv("DISPLAY") == nullptr) {
        return std::make_unique<NoForegroundProgram>("$DISPLAY is not set (no X server)");
    }
    return X11ForegroundProgram::open();
}

struct FixedForegroundProgram::State {
    std::mutex mutex;
    std::filesystem::path executable;
};

std::shared_ptr<FixedForegroundProgram::State> FixedForegroundProgram::makeState() {
    return std::make_shared<State>();
}

void FixedForegroundProgram::setExecutable(const std::filesystem::path& executable) {
    std::lock_guard lock(state_->mutex);
    state_->executable = executable;
}

ProgramInFront FixedForegroundProgram::programInFront() {
    std::lock_guard lock(state_->mutex);
    if (state_->executable.empty()) {
        return {{}, "no program set"};
    }
    return {state_->executable, {}};
}

} // namespace quellix::platform

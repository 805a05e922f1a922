// Which HID source is used and where it lies: API overrides first, then the
// environment, then the system defaults.

#include "source.h"

#include <cstdlib>
#include <fstream>
#include <mutex>

namespace quellix::hid {

namespace {

struct Overrides {
    std::mutex mutex;
    std::string sysfs, dev, simDir;
};

Overrides& overrides() {
    static Overrides instance;
    return instance;
}

std::string pick(const std::string& override, const char* variable, const char* fallback) {
    if (!override.empty())
        return override;
    if (const char* value = std::getenv(variable); value && *value)
        return value;
    return fallback;
}

} // namespace

void setSysfsRoot(std::string root) {
    std::lock_guard lock(overrides().mutex);
    overrides().sysfs = std::move(root);
}

void setDevRoot(std::string root) {
    std::lock_guard lock(overrides().mutex);
    overrides().dev = std::move(root);
}

void setSimulatorDir(std::string dir) {
    std::lock_guard lock(overrides().mutex);
    overrides().simDir = std::move(dir);
}

std::string simulatorDir() {
    return detail::currentRoots().simDir;
}

namespace detail {

SourceRoots currentRoots() {
    Overrides& o = overrides();
    std::lock_guard lock(o.mutex);
    return {pick(o.sysfs, "QUELLIX_SYSFS_ROOT", "/sys"), pick(o.dev, "QUELLIX_DEV_ROOT", "/dev"),
            pick(o.simDir, "QUELLIX_SIM_DIR", "")};
}

std::optional<std::string> readSmallFile(const std::string& file, std::size_t limit) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string content(limit + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad())
        return std::nullopt;
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > limit)
        return std::nullopt;
    return content;
}

} // namespace detail
} // namespace quellix::hid

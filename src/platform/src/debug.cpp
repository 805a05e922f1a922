#include "quellix/platform/debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <unistd.h>

namespace quellix::platform {

namespace {

struct DebugRing {
    std::mutex mutex;
    std::deque<std::string> lines;
    std::uint64_t written = 0; // lines ever written, including dropped ones
    bool toStderr = [] {
        const char* value = std::getenv("QUELLIX_DEBUG");
        return value && std::string_view(value) == "1";
    }();
};

DebugRing& ring() {
    static DebugRing instance;
    return instance;
}

// Cuts at most kDebugLineMaxBytes without splitting a UTF-8 sequence.
std::string_view boundedLine(std::string_view line) {
    if (line.size() <= kDebugLineMaxBytes)
        return line;
    std::size_t end = kDebugLineMaxBytes;
    while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
        --end;
    return line.substr(0, end);
}

void writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return; // diagnostics never fail the caller
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

void debugOutput(std::string_view line) {
    auto& r = ring();
    std::string text(boundedLine(line));
    std::lock_guard lock(r.mutex);
    if (r.toStderr)
        writeAll(STDERR_FILENO, text + '\n');
    if (r.lines.size() == kDebugRingLines)
        r.lines.pop_front();
    r.lines.push_back(std::move(text));
    ++r.written;
}

void debugOutputf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(args);
    debugOutput(text);
}

std::uint64_t debugSequence() {
    auto& r = ring();
    std::lock_guard lock(r.mutex);
    return r.written;
}

std::vector<std::string> debugLinesSince(std::uint64_t sequence) {
    auto& r = ring();
    std::lock_guard lock(r.mutex);
    const std::uint64_t oldestHeld = r.written - r.lines.size();
    const std::uint64_t first = std::max(sequence, oldestHeld);
    std::vector<std::string> result;
    for (std::uint64_t i = first; i < r.written; ++i)
        result.push_back(r.lines[static_cast<std::size_t>(i - oldestHeld)]);
    return result;
}

std::vector<std::string> debugLines() {
    return debugLinesSince(0);
}

void clearDebugLines() {
    auto& r = ring();
    std::lock_guard lock(r.mutex);
    r.lines.clear();
}

} // namespace quellix::platform

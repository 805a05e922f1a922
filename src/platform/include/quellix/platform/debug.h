#pragma once
// Diagnostic output: the lines a developer reads while the program runs.
//
// Every line goes into a bounded in-memory ring (the newest lines win) that
// tests read back, and to stderr when the environment variable
// QUELLIX_DEBUG is "1" at the first call.  Diagnostics are never shown to
// the user.  All functions are thread-safe.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::platform {

// Lines kept in the ring; older lines are dropped first.
inline constexpr std::size_t kDebugRingLines = 1024;
// A longer line is cut to this many bytes (at a UTF-8 character boundary).
inline constexpr std::size_t kDebugLineMaxBytes = 4096;

void debugOutput(std::string_view line);
// printf-style convenience for lines that carry numbers.
void debugOutputf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Number of lines written since the process started (never decreases, also
// counts dropped lines).  Take it before an action and read the lines the
// action wrote with debugLinesSince(), so unrelated output does not matter.
std::uint64_t debugSequence();
std::vector<std::string> debugLinesSince(std::uint64_t sequence);
// All lines still held, oldest first.
std::vector<std::string> debugLines();
void clearDebugLines();

} // namespace quellix::platform

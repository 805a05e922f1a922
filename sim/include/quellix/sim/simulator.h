#pragma once
// In-process simulator of the mouse, the mouse pad and the keyboard.
//
// Each plugged device serves its HID interfaces as SOCK_SEQPACKET Unix
// sockets in the simulator directory, so that the program reaches them
// through the same file-descriptor path it uses for /dev/hidrawN.
//
// Directory contract (shared with the HID layer's simulated source):
//   <dir>/VVVV_PPPP_RRRR_II.rdesc   the interface's report descriptor (binary)
//   <dir>/VVVV_PPPP_RRRR_II.sock    listening socket; its presence means plugged
// VVVV vendor id, PPPP product id, RRRR release number, II interface number,
// all lowercase hex.  The .rdesc file is written before the socket is bound;
// on unplug the socket is removed first, then every connection is shut down
// and the .rdesc removed.  One packet is one report exactly as hidraw
// carries it: the first byte is the report id when the interface numbers its
// reports.  Input reports go to every connection of the interface.
// <dir>/control.sock accepts the quellix-sim tool's text commands.

#include "quellix/device/device_kind.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::sim {

// The simulated devices are the program's device kinds; their identities
// (vendor, product ids, interfaces, LED counts) come from the device table.
using Model = device::DeviceKind;

// "mouse", "pad", "keyboard" (the table's words); parseModel accepts these.
inline constexpr std::string_view modelName(Model model) {
    return device::kindWord(model);
}
inline constexpr std::optional<Model> parseModel(std::string_view name) {
    return device::kindFromWord(name);
}

// The firmware's memory areas, each addressed from 0 by the commands that
// reach it: Info (command 3), Slots (commands 5 and 6), DefaultKeys
// (command 7), KeyPages (commands 8 and 9), Macro (command 21), Pointer
// (command 23).  A model without an area has it empty.
enum class Region { Info, Slots, DefaultKeys, KeyPages, Macro, Pointer };

// The keyboard's product id when none is asked for: its session's own.
inline constexpr std::uint16_t kDefaultKeyboardProductId =
    device::primaryProductId(device::DeviceKind::Keyboard);

struct Options {
    // Empty: a fresh temporary directory (mode 0700), removed on destruction.
    std::filesystem::path dir;
    // Delay before each reply.  The default models a full-speed USB device
    // with a 1 ms polling interval; unit tests usually pass zero.
    std::chrono::microseconds replyLatency{2000};
};

struct DeviceStats {
    std::uint64_t framesReceived = 0; // configuration reports received
    std::uint64_t repliesSent = 0;
    std::uint64_t ledFrames = 0; // completed command-18 frames
    std::vector<std::uint8_t> lastLedFrame;
    std::vector<std::array<std::uint8_t, 64>> requestLog; // last requests, oldest first
    std::uint64_t errorReplies = 0; // replies with a status other than 0 (also injected)
    std::uint64_t resets = 0;       // factory resets (command 13)
    bool inTransfer = false;        // between command 1 and command 2
};

class Simulator {
public:
    explicit Simulator(Options options = {});
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    const std::filesystem::path& dir() const;

    // keyboardProductId: one of the keyboard's accepted product ids in the
    // device table (ignored for other models).
    void plug(Model model, std::uint16_t keyboardProductId = kDefaultKeyboardProductId);
    void unplug(Model model);
    bool isPlugged(Model model) const;

    // Fault injection, per device; each applies to the frames that follow.
    void dropReplies(Model model, int count);
    void replyWithStatus(Model model, std::uint8_t status, int count = 1);
    void setReplyLatency(Model model, std::chrono::microseconds latency);
    // Holds back the replies to the next `count` requests by `delay` instead
    // of the latency: a latency spike.  Replies keep their order (one per
    // 1 ms polling interval at most); a request the host repeats during the
    // spike is answered one latency after the held-back reply: a late
    // duplicate that reaches the host after its next request.
    void spikeReplies(Model model, std::chrono::microseconds delay, int count = 1);
    // Cuts the replies to the next `count` requests to `bytes` (1..63; other
    // values throw std::invalid_argument): short reports.
    void shortenReplies(Model model, std::size_t bytes, int count = 1);
    // Unplugs the device once it has received this many more frames (the
    // last of them is not answered): an unplug in the middle of a transfer.
    void unplugAfterFrames(Model model, int frames);

    // Sends a consumer-control input report with this usage (0x401..0x403;
    // the field takes 1..0x403, other values throw std::invalid_argument; a
    // device that is not plugged or has no consumer interface throws
    // std::logic_error).
    void notify(Model model, std::uint16_t usage);

    // Snapshots of the firmware's state (thread-safe).
    // Without a region these address the slot memory (commands 5 and 6).
    // A model that was never plugged, or a range beyond the area, throws
    // std::out_of_range.  The memory survives unplugging, as on the device.
    std::vector<std::uint8_t> memory(Model model, std::size_t offset, std::size_t length) const;
    void writeMemory(Model model, std::size_t offset, const std::vector<std::uint8_t>& bytes);
    std::vector<std::uint8_t> memory(Model model, Region region, std::size_t offset,
                                     std::size_t length) const;
    void writeMemory(Model model, Region region, std::size_t offset,
                     const std::vector<std::uint8_t>& bytes);
    std::size_t regionSize(Model model, Region region) const;
    // The product id the model is (or was last) plugged with; 0 if never.
    std::uint16_t productId(Model model) const;
    DeviceStats stats(Model model) const;
    std::string dump(Model model) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quellix::sim

#pragma once
// The firmware of one simulated device: its memory and what it does with a
// configuration request.  Pure computation; the socket server feeds it
// packets and carries its replies.

#include "factory_defaults.h"
#include "quellix/sim/simulator.h"
#include "report.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quellix::sim {

class Firmware {
public:
    Firmware(Model model, std::uint16_t productId);

    Model model() const { return model_; }
    std::uint16_t productId() const { return productId_; }

    // Handles one packet as received from the host (any size, untrusted) and
    // returns the reply: report id 4, command, length and offset echoed,
    // status at byte 7, read data from byte 8, checksum at bytes 1-2.
    Report handle(std::span<const std::uint8_t> packet);

    // The reply to a packet that the firmware refuses with `status` without
    // carrying it out.
    static Report refusal(std::span<const std::uint8_t> packet, std::uint8_t status);

    // Plugging in starts the firmware afresh: no open transfer, no partial
    // LED frame.  Memory persists.
    void powerOn();

    std::vector<std::uint8_t>& region(Region region);
    const std::vector<std::uint8_t>& region(Region region) const;

    std::uint64_t ledFrames() const { return ledFrames_; }
    const std::vector<std::uint8_t>& lastLedFrame() const { return lastLedFrame_; }
    std::uint64_t resets() const { return resets_; }
    bool inTransfer() const { return inTransfer_; }

private:
    struct Request {
        std::uint8_t command;
        std::uint8_t length;
        std::uint16_t offset;
        std::span<const std::uint8_t> payload; // `length` bytes
    };
    // Fills the reply's length and payload for reads; returns the status.
    using Handler = std::uint8_t (Firmware::*)(const Request&, Report&);
    struct CommandEntry {
        std::uint8_t code;
        Handler handler;
    };
    static const CommandEntry kCommands[];

    std::uint8_t beginTransfer(const Request&, Report&);
    std::uint8_t endTransfer(const Request&, Report&);
    std::uint8_t readInfo(const Request&, Report&);
    std::uint8_t readSlots(const Request&, Report&);
    std::uint8_t writeSlots(const Request&, Report&);
    std::uint8_t readDefaultKeys(const Request&, Report&);
    std::uint8_t readKeyPage(const Request&, Report&);
    std::uint8_t writeKeyPage(const Request&, Report&);
    std::uint8_t reset(const Request&, Report&);
    std::uint8_t streamFrame(const Request&, Report&);
    std::uint8_t lightingNotice(const Request&, Report&);
    std::uint8_t writeMacro(const Request&, Report&);
    std::uint8_t writePointer(const Request&, Report&);

    std::uint8_t readFrom(const std::vector<std::uint8_t>& area, const Request& request,
                          Report& reply) const;
    std::uint8_t writeTo(std::vector<std::uint8_t>& area, const Request& request);
    void restoreFactoryMemory();

    Model model_;
    std::uint16_t productId_;
    FactoryImage factory_;
    std::vector<std::uint8_t> info_, slots_, defaultKeys_, keyPages_, macro_, pointer_;

    bool inTransfer_ = false;
    std::uint64_t resets_ = 0;

    // A key-page write is a transfer of chunks from a page start (page *
    // 126) over the host's key block: 512 bytes on the mouse, the page
    // itself on the keyboard.  A chunk continues the transfer in progress
    // when it starts where the previous one ended and the transfer is not
    // complete yet, or repeats the previous chunk (same offset and length,
    // after a lost reply); any other chunk begins the page at its offset.
    // So a page that starts where the previous transfer ended (mouse page 4
    // at 504 after page 0) is a new page, not more of the old one.
    static constexpr std::uint32_t kNoChunk = 0xFFFFFFFF;
    std::uint32_t keyWriteBase_ = kNoChunk;
    std::uint32_t keyWriteLastOffset_ = kNoChunk;
    std::uint32_t keyWriteLastLength_ = 0;
    std::uint32_t keyWriteEnd_ = kNoChunk;
    std::uint32_t keyTransferBytes() const;
    void forgetKeyWrite();

    std::vector<std::uint8_t> ledBuffer_;
    std::vector<std::uint8_t> lastLedFrame_;
    std::uint64_t ledFrames_ = 0;
};

} // namespace quellix::sim

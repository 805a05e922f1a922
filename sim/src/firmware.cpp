#include "firmware.h"

#include <algorithm>
#include <stdexcept>

namespace quellix::sim {
namespace {

bool checksumAccepted(std::span<const std::uint8_t, kReportSize> packet) {
    const std::uint16_t stored = static_cast<std::uint16_t>(packet[1] | (packet[2] << 8));
    if (stored == reportChecksum(packet)) {
        return true;
    }
    // The reset and the lighting notice are sent with the field left at 0.
    const std::uint8_t code = packet[3];
    return stored == 0 && (code == command::kReset || code == command::kLightingNotice);
}

Report replyHeader(std::span<const std::uint8_t> packet) {
    Report reply{};
    reply[0] = kConfigReportId;
    // Echo command, length and offset as far as the packet carries them.
    for (std::size_t i = 3; i < 7 && i < packet.size(); ++i) {
        reply[i] = packet[i];
    }
    return reply;
}

} // namespace

const Firmware::CommandEntry Firmware::kCommands[] = {
    {command::kBeginTransfer, &Firmware::beginTransfer},
    {command::kEndTransfer, &Firmware::endTransfer},
    {command::kReadInfo, &Firmware::readInfo},
    {command::kReadBlock, &Firmware::readSlots},
    {command::kWriteBlock, &Firmware::writeSlots},
    {command::kReadDefaultKeys, &Firmware::readDefaultKeys},
    {command::kReadKeyPage, &Firmware::readKeyPage},
    {command::kWriteKeyPage, &Firmware::writeKeyPage},
    {command::kReset, &Firmware::reset},
    {command::kStreamFrame, &Firmware::streamFrame},
    {command::kLightingNotice, &Firmware::lightingNotice},
    {command::kWriteMacroImage, &Firmware::writeMacro},
    {command::kWritePointerImage, &Firmware::writePointer},
};

Firmware::Firmware(Model model, std::uint16_t productId)
    : model_(model), productId_(productId), factory_(factoryImage(model, productId)) {
    info_ = factory_.info;
    defaultKeys_ = factory_.defaultKeys;
    restoreFactoryMemory();
}

void Firmware::restoreFactoryMemory() {
    slots_ = factory_.slots;
    keyPages_ = factory_.keyPages;
    macro_.assign(factory_.macroBytes, 0);
    pointer_.assign(factory_.pointerBytes, 0);
}

void Firmware::forgetKeyWrite() {
    keyWriteBase_ = keyWriteLastOffset_ = keyWriteEnd_ = kNoChunk;
    keyWriteLastLength_ = 0;
}

std::uint32_t Firmware::keyTransferBytes() const {
    // The host moves its whole 512-byte key buffer for the mouse and the
    // keyboard's key count times three for the keyboard.
    return static_cast<std::uint32_t>(model_ == Model::Keyboard ? factory_.keyPageBytes
                                                                : kKeyTableSize);
}

void Firmware::powerOn() {
    inTransfer_ = false;
    forgetKeyWrite();
    ledBuffer_.clear();
}

std::vector<std::uint8_t>& Firmware::region(Region region) {
    switch (region) {
    case Region::Info:
        return info_;
    case Region::Slots:
        return slots_;
    case Region::DefaultKeys:
        return defaultKeys_;
    case Region::KeyPages:
        return keyPages_;
    case Region::Macro:
        return macro_;
    case Region::Pointer:
        return pointer_;
    }
    throw std::invalid_argument("unknown memory region");
}

const std::vector<std::uint8_t>& Firmware::region(Region which) const {
    return const_cast<Firmware*>(this)->region(which);
}

Report Firmware::refusal(std::span<const std::uint8_t> packet, std::uint8_t status) {
    Report reply = replyHeader(packet);
    reply[7] = status;
    storeChecksum(reply);
    return reply;
}

Report Firmware::handle(std::span<const std::uint8_t> packet) {
    if (packet.size() != kReportSize || packet[0] != kConfigReportId) {
        return refusal(packet, status::kMalformed);
    }
    const auto frame = packet.first<kReportSize>();
    if (!checksumAccepted(frame) || frame[4] > kMaxPayload) {
        return refusal(packet, status::kMalformed);
    }
    const Request request{frame[3], frame[4],
                          static_cast<std::uint16_t>(frame[5] | (frame[6] << 8)),
                          frame.subspan(kPayloadOffset, frame[4])};
    const auto entry =
        std::find_if(std::begin(kCommands), std::end(kCommands),
                     [&](const CommandEntry& e) { return e.code == request.command; });
    if (entry == std::end(kCommands)) {
        return refusal(packet, status::kRejected);
    }
    Report reply = replyHeader(packet);
    reply[7] = (this->*(entry->handler))(request, reply);
    if (reply[7] != status::kOk) {
        std::fill(reply.begin() + kPayloadOffset, reply.end(), 0);
    }
    storeChecksum(reply);
    return reply;
}

std::uint8_t Firmware::readFrom(const std::vector<std::uint8_t>& area, const Request& request,
                                Report& reply) const {
    if (area.empty()) {
        return status::kRejected;
    }
    if (std::size_t{request.offset} + request.length > area.size()) {
        return status::kMalformed;
    }
    std::copy_n(area.begin() + request.offset, request.length, reply.begin() + kPayloadOffset);
    return status::kOk;
}

std::uint8_t Firmware::writeTo(std::vector<std::uint8_t>& area, const Request& request) {
    if (area.empty()) {
        return status::kRejected;
    }
    if (std::size_t{request.offset} + request.length > area.size()) {
        return status::kMalformed;
    }
    std::copy(request.payload.begin(), request.payload.end(), area.begin() + request.offset);
    return status::kOk;
}

std::uint8_t Firmware::beginTransfer(const Request&, Report&) {
    inTransfer_ = true;
    forgetKeyWrite();
    return status::kOk;
}

std::uint8_t Firmware::endTransfer(const Request&, Report&) {
    inTransfer_ = false;
    forgetKeyWrite();
    return status::kOk;
}

std::uint8_t Firmware::readInfo(const Request&, Report& reply) {
    // The block is returned whole whatever length the request names.
    reply[4] = static_cast<std::uint8_t>(info_.size());
    std::copy(info_.begin(), info_.end(), reply.begin() + kPayloadOffset);
    return status::kOk;
}

std::uint8_t Firmware::readSlots(const Request& request, Report& reply) {
    return readFrom(slots_, request, reply);
}

std::uint8_t Firmware::writeSlots(const Request& request, Report&) {
    // Offset 0 is the active slot index; an index beyond the slots is refused.
    if (request.offset == 0 && request.length > 0 && request.payload[0] >= factory_.slotCount) {
        return status::kMalformed;
    }
    return writeTo(slots_, request);
}

std::uint8_t Firmware::readDefaultKeys(const Request& request, Report& reply) {
    return readFrom(defaultKeys_, request, reply);
}

std::uint8_t Firmware::readKeyPage(const Request& request, Report& reply) {
    return readFrom(keyPages_, request, reply);
}

std::uint8_t Firmware::writeKeyPage(const Request& request, Report&) {
    if (keyPages_.empty()) {
        return status::kRejected;
    }
    const std::uint32_t offset = request.offset;
    const std::uint32_t end = offset + request.length;
    if (end > keyPages_.size()) {
        return status::kMalformed;
    }
    const bool repeats = keyWriteBase_ != kNoChunk && offset == keyWriteLastOffset_ &&
                         request.length == keyWriteLastLength_;
    const bool extends = keyWriteBase_ != kNoChunk && offset == keyWriteEnd_ &&
                         keyWriteEnd_ - keyWriteBase_ < keyTransferBytes();
    if (!repeats && !extends) {
        // A page starts at page * 126.
        if (offset % kKeyPageStride != 0 || offset / kKeyPageStride >= kKeyPageCount) {
            return status::kMalformed;
        }
        keyWriteBase_ = offset;
    }
    keyWriteLastOffset_ = offset;
    keyWriteLastLength_ = request.length;
    keyWriteEnd_ = end;
    // The host sends more than a page (512 bytes for the mouse); only the
    // page itself is stored, so the following pages keep their keys.
    const std::uint32_t pageEnd = keyWriteBase_ + static_cast<std::uint32_t>(factory_.keyPageBytes);
    for (std::uint32_t i = 0; i < request.length && offset + i < pageEnd; ++i) {
        keyPages_[offset + i] = request.payload[i];
    }
    return status::kOk;
}

std::uint8_t Firmware::reset(const Request&, Report&) {
    restoreFactoryMemory();
    powerOn();
    ++resets_;
    return status::kOk;
}

std::uint8_t Firmware::streamFrame(const Request& request, Report&) {
    const std::size_t largest =
        *std::max_element(factory_.ledFrameSizes.begin(), factory_.ledFrameSizes.end());
    const std::size_t end = std::size_t{request.offset} + request.length;
    if (end > largest) {
        return status::kMalformed;
    }
    if (request.offset == 0 || ledBuffer_.size() != largest) {
        ledBuffer_.assign(largest, 0);
    }
    std::copy(request.payload.begin(), request.payload.end(), ledBuffer_.begin() + request.offset);
    // A frame is complete when a chunk ends at one of the frame lengths.
    if (std::find(factory_.ledFrameSizes.begin(), factory_.ledFrameSizes.end(), end) !=
        factory_.ledFrameSizes.end()) {
        ++ledFrames_;
        lastLedFrame_.assign(ledBuffer_.begin(), ledBuffer_.begin() + static_cast<long>(end));
    }
    return status::kOk;
}

std::uint8_t Firmware::lightingNotice(const Request&, Report&) {
    return status::kOk;
}

std::uint8_t Firmware::writeMacro(const Request& request, Report&) {
    return writeTo(macro_, request);
}

std::uint8_t Firmware::writePointer(const Request& request, Report&) {
    return writeTo(pointer_, request);
}

} // namespace quellix::sim

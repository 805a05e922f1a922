#include "quellix/config/mouse_config.h"

#include "slot_transfers.h"

#include <algorithm>
#include <mutex>
#include <string>

namespace quellix::config {

namespace {

constexpr SensorRange kSensors[] = {
    {0x3325, 200, "200", "10000", "10000"},
    {0x3050, 250, "250", "4000", "4000"},
    {0x3360, 100, "100", "12000", "12000"},
    {0x3310, 50, "50", "10000", "5000"},
};

std::uint8_t atLeastOne(std::uint8_t v) {
    return v == 0 ? 1 : v;
}

std::uint16_t littleEndian16(const device::DeviceInfoBlock& info, std::size_t at) {
    return static_cast<std::uint16_t>(info[at] | (info[at + 1] << 8));
}

} // namespace

MouseSlotSettings decodeMouseSlot(std::span<const std::uint8_t> b) {
    MouseSlotSettings s;
    s.lighting = decodeLighting(b);
    s.reportRate = b[mouse_field::kReportRate];
    std::copy_n(b.begin() + mouse_field::kDpiLevels, kDpiStages, s.dpiLevels.begin());
    s.dpiStage = b[mouse_field::kDpiStage];
    for (std::size_t i = 0; i < kDpiStages; ++i) {
        s.dpiColours[i] = readRgb(b, mouse_field::kDpiColours + 3 * i);
    }
    return s;
}

void encodeMouseSlot(const MouseSlotSettings& s, std::span<std::uint8_t> b) {
    encodeLighting(s.lighting, b);
    b[mouse_field::kReportRate] = s.reportRate;
    std::ranges::copy(s.dpiLevels, b.begin() + mouse_field::kDpiLevels);
    b[mouse_field::kDpiStage] = s.dpiStage;
    for (std::size_t i = 0; i < kDpiStages; ++i) {
        writeRgb(s.dpiColours[i], b, mouse_field::kDpiColours + 3 * i);
    }
}

MouseSlotSettings decodeMouseRecord(const MouseSlotRecord& record) {
    const auto bytes = record.snapshot();
    return decodeMouseSlot(bytes);
}

MouseLightingPayload composeMouseLighting(MouseConfig& mouse) {
    auto slot = mouse.image.slot(0);
    storeRecord(mouse, 0);
    slot[mouse_field::kPointerSpeed] = mouse.pointerSpeed.load();
    slot[mouse_field::kWheelSpeed] = mouse.wheelSpeed.load();
    MouseLightingPayload payload{};
    std::ranges::copy(slot, payload.begin());
    return payload;
}

void applyMouseLighting(MouseConfig& mouse, std::span<const std::uint8_t> payload) {
    auto slot = mouse.image.slot(0);
    std::copy_n(payload.begin(), std::min(payload.size(), kSlotBytes), slot.begin());
    loadRecord(mouse, 0);
    mouse.pointerSpeed.store(atLeastOne(slot[mouse_field::kPointerSpeed]));
    mouse.wheelSpeed.store(atLeastOne(slot[mouse_field::kWheelSpeed]));
}

MouseDevicePayload composeMouseDevice(MouseConfig& mouse) {
    MouseDevicePayload payload{};
    std::ranges::copy(mouse.keyPages[0], payload.begin());
    const auto lighting = composeMouseLighting(mouse);
    std::ranges::copy(lighting, payload.begin() + kKeyProfileBytes);
    return payload;
}

void applyMouseDevice(MouseConfig& mouse,
                      std::span<const std::uint8_t, kMouseDevicePayloadBytes> payload) {
    std::copy_n(payload.begin(), kKeyProfileBytes, mouse.keyPages[0].begin());
    applyMouseLighting(mouse, payload.subspan(kKeyProfileBytes));
}

KeyProfilePayload composeMouseKeys(const MouseConfig& mouse) {
    return mouse.keyPages[0];
}

void applyMouseKeys(MouseConfig& mouse, std::span<const std::uint8_t, kKeyProfileBytes> payload) {
    std::ranges::copy(payload, mouse.keyPages[0].begin());
}

std::uint16_t sensorId(const device::DeviceInfoBlock& info) {
    return littleEndian16(info, 9);
}

std::uint8_t maxDpiPosition(const device::DeviceInfoBlock& info) {
    return info[12];
}

std::optional<SensorRange> knownSensor(std::uint16_t sensor) {
    for (const auto& entry : kSensors) {
        if (entry.sensor == sensor) {
            return entry;
        }
    }
    return std::nullopt;
}

std::uint16_t dpiBase(const device::DeviceInfoBlock& info) {
    if (const auto known = knownSensor(sensorId(info))) {
        return known->dpiBase;
    }
    return littleEndian16(info, 13);
}

int dpiValue(std::uint16_t base, int position) {
    return position < 49 ? base + position * 100 : base + (position - 24) * 200;
}

Result readMouseImage(MouseConfig& mouse, device::DeviceSession& session) {
    std::lock_guard hold(session.lock);
    FirstFailure failure;
    failure.note(session.beginTransfer().context("beginning the transfer"));
    failure.note(session.readDeviceInfo(mouse.info).context("reading the device information"));
    failure.note(session.readDefaultKeys(mouse.defaultKeys).context("reading the default keys"));
    for (std::size_t s = 0; s < kOnBoardSlots; ++s) {
        failure.note(readImageSlot(mouse, session, s));
        failure.note(session.readKeyPage(static_cast<std::uint32_t>(s), mouse.keyPages[s])
                         .context("reading key page " + std::to_string(s)));
    }
    // Read and discarded, as the firmware expects before the transfer ends.
    failure.note(readActiveSlot(session).result());
    failure.note(session.endTransfer().context("ending the transfer"));
    return failure.take();
}

SlotChange selectMouseSlot(MouseConfig& mouse, device::DeviceSession& session, int n) {
    return selectSlot(mouse, session, n);
}

Result reloadMouseSlot(MouseConfig& mouse, device::DeviceSession& session) {
    std::lock_guard hold(session.lock);
    const std::uint8_t recorded = mouse.record.load(field::kSlot);
    if (recorded < kOnBoardSlots) {
        storeRecord(mouse, recorded);
    }
    FirstFailure failure;
    failure.note(readActiveSlot(session).result()); // read and discarded
    mouse.record.store(field::kSlot, 0);
    Result slot = readImageSlot(mouse, session, 0);
    if (slot) {
        mouse.image.slot(0)[field::kSlot] = 0;
    }
    failure.note(std::move(slot));
    loadRecord(mouse, 0);
    return failure.take();
}

Result writeDpiLevel(MouseConfig& mouse, device::DeviceSession& session, int stage,
                     std::uint8_t position) {
    if (stage < 1 || stage > static_cast<int>(kDpiStages)) {
        return Result::failure(Status::BadArgument, "DPI stage " + std::to_string(stage));
    }
    const std::size_t at = mouse_field::kReportRate + static_cast<std::size_t>(stage);
    Result result = session.writeBlock(static_cast<std::uint16_t>(at), std::span(&position, 1));
    mouse.record.store(at, position);
    return result;
}

Result writeReportRate(MouseConfig& mouse, device::DeviceSession& session, std::uint8_t rate) {
    const std::size_t slot = mouse.record.load(field::kSlot);
    const auto offset = static_cast<std::uint16_t>(slot * kSlotBytes + mouse_field::kReportRate);
    Result result = session.writeBlock(offset, std::span(&rate, 1));
    mouse.record.store(mouse_field::kReportRate, rate);
    return result;
}

void setDpiColour(MouseConfig& mouse, int stage, Rgb colour) {
    if (stage < 1 || stage > static_cast<int>(kDpiStages)) {
        return;
    }
    const std::size_t at = mouse_field::kDpiColours + 3 * static_cast<std::size_t>(stage - 1);
    mouse.record.store(at, colour.red);
    mouse.record.store(at + 1, colour.green);
    mouse.record.store(at + 2, colour.blue);
}

Result resetMouseDevice(device::DeviceSession& session) {
    return session.resetDevice();
}

} // namespace quellix::config

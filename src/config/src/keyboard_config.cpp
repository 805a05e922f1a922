#include "quellix/config/keyboard_config.h"

#include <algorithm>
#include <mutex>
#include <string>

namespace quellix::config {

namespace {

constexpr std::string_view kDefaultKeyFiles[kKeyboardVariants] = {
    "kbkeydefault.pro", "kbkey15default.pro", "kbkey16default.pro"};

// A run of picture-to-LED values: `count` entries counting up from `first`,
// or `count` copies of kNoLed.
struct Run {
    std::uint8_t first;
    std::uint8_t count;
    bool none = false;
};
constexpr Run leds(std::uint8_t first, std::uint8_t last) {
    return {first, static_cast<std::uint8_t>(last - first + 1)};
}
constexpr Run led(std::uint8_t n) {
    return {n, 1};
}
constexpr Run noLed(std::uint8_t count) {
    return {kNoLed, count, true};
}

template <std::size_t N>
constexpr std::array<std::uint8_t, kPictureKeys> expand(const Run (&runs)[N]) {
    std::array<std::uint8_t, kPictureKeys> map{};
    std::size_t at = 0;
    for (const Run& run : runs) {
        for (std::uint8_t i = 0; i < run.count && at < kPictureKeys; ++i) {
            map[at++] = run.none ? kNoLed : static_cast<std::uint8_t>(run.first + i);
        }
    }
    // Anything a table leaves out has no LED.
    while (at < kPictureKeys) {
        map[at++] = kNoLed;
    }
    return map;
}

constexpr Run kVariant0Runs[] = {
    leds(0, 12), leds(14, 16),   noLed(5), leds(21, 61),   noLed(1),     leds(63, 74),
    led(76),     leds(80, 82),   noLed(5), led(84),        leds(86, 95), led(97),
    led(99),     leds(101, 103), noLed(5), leds(105, 111), led(113),     leds(119, 121),
    led(123),    led(124),       led(104), led(62),        noLed(6)};
constexpr Run kVariant1Runs[] = {
    leds(0, 15),   noLed(5),     leds(18, 34), led(53),      led(35),        led(71),
    led(89),       leds(36, 52), leds(68, 70), noLed(1),     leds(54, 65),   led(67),
    leds(86, 88),  noLed(5),     led(72),      leds(74, 85), leds(103, 105), noLed(5),
    leds(90, 102), led(106),     led(107),     noLed(6)};
constexpr Run kVariant2Runs[] = {
    leds(0, 12),    leds(14, 16), noLed(5),     leds(21, 54),   led(75),  leds(56, 61),   noLed(1),
    leds(63, 74),   led(76),      leds(80, 82), noLed(1),       led(85),  noLed(3),       led(84),
    leds(86, 95),   led(97),      led(99),      leds(101, 103), noLed(5), leds(105, 111), led(113),
    leds(119, 121), led(123),     led(124),     led(104),       led(62),  noLed(6)};

template <std::size_t N> constexpr std::size_t entries(const Run (&runs)[N]) {
    std::size_t total = 0;
    for (const Run& run : runs) {
        total += run.count;
    }
    return total;
}
static_assert(entries(kVariant0Runs) == kPictureKeys);
static_assert(entries(kVariant1Runs) == kPictureKeys);
static_assert(entries(kVariant2Runs) == kPictureKeys);

constexpr std::array<std::array<std::uint8_t, kPictureKeys>, kKeyboardVariants> kPictureMaps = {
    expand(kVariant0Runs), expand(kVariant1Runs), expand(kVariant2Runs)};

void storeRecord(KeyboardConfig& keyboard) {
    keyboard.record.copyOut(keyboard.image.slot(0).first(kKeyboardRecordBytes));
}

void loadRecord(KeyboardConfig& keyboard) {
    keyboard.record.copyIn(keyboard.image.slot(0).first(kKeyboardRecordBytes));
}

constexpr std::size_t kMaxKeyTableBytes = device::kKeyBlockSize;

// The keyboard has one slot: the active-slot byte is read only because the
// firmware expects the read before a transfer ends.
Result readActiveSlotByte(device::DeviceSession& session) {
    std::uint8_t ignored = 0;
    return readSlotBytes(session, kActiveSlotOffset, std::span(&ignored, 1))
        .context("reading the active slot");
}

// The key count of the information block as the length of the key tables;
// Unsupported when the tables would not hold them.
Result keyTableLength(const KeyboardConfig& keyboard, device::DeviceSession& session) {
    const std::size_t n = 3 * std::size_t{keyboard.info[5]};
    if (n > kMaxKeyTableBytes) {
        return Result::failure(Status::Unsupported, "the keyboard reports " +
                                                        std::to_string(keyboard.info[5]) + " keys");
    }
    session.blockLength = static_cast<std::uint16_t>(n);
    return Result::success();
}

} // namespace

std::string_view defaultKeyProfileFile(int variant) {
    return kDefaultKeyFiles[variant >= 0 && variant < kKeyboardVariants ? variant : 0];
}

const std::array<std::uint8_t, kPictureKeys>& pictureToLed(int variant) {
    return kPictureMaps[variant >= 0 && variant < kKeyboardVariants ? variant : 0];
}

KeyboardSlotSettings decodeKeyboardSlot(std::span<const std::uint8_t> b) {
    KeyboardSlotSettings s;
    s.lighting = decodeLighting(b);
    s.colourA = readRgb(b, keyboard_field::kColourA);
    s.multicolourA = b[keyboard_field::kMulticolourA];
    s.style = b[keyboard_field::kStyle];
    s.colourB = readRgb(b, keyboard_field::kColourB);
    s.multicolourB = b[keyboard_field::kMulticolourB];
    return s;
}

void encodeKeyboardSlot(const KeyboardSlotSettings& s, std::span<std::uint8_t> b) {
    encodeLighting(s.lighting, b);
    writeRgb(s.colourA, b, keyboard_field::kColourA);
    b[keyboard_field::kMulticolourA] = s.multicolourA;
    b[keyboard_field::kStyle] = s.style;
    writeRgb(s.colourB, b, keyboard_field::kColourB);
    b[keyboard_field::kMulticolourB] = s.multicolourB;
}

KeyboardLightingPayload composeKeyboardLighting(KeyboardConfig& keyboard) {
    storeRecord(keyboard);
    KeyboardLightingPayload payload{};
    auto out = std::span(payload);
    std::ranges::copy(keyboard.image.slot(0), out.begin());
    keyboard.custom.copyOut(out.subspan(kSlotBytes, kCustomColourBytes));
    keyboard.keyColours.copyOut(out.subspan(kSlotBytes + kCustomColourBytes));
    return payload;
}

void applyKeyboardLighting(KeyboardConfig& keyboard,
                           std::span<const std::uint8_t, kKeyboardLightingPayloadBytes> payload) {
    std::copy_n(payload.begin(), kSlotBytes, keyboard.image.slot(0).begin());
    loadRecord(keyboard);
    keyboard.custom.copyIn(payload.subspan(kSlotBytes, kCustomColourBytes));
    keyboard.keyColours.copyIn(payload.subspan(kSlotBytes + kCustomColourBytes));
}

device::KeyBlock composeKeyboardKeys(const KeyboardConfig& keyboard) {
    return keyboard.keyPage;
}

void applyKeyboardKeys(KeyboardConfig& keyboard,
                       std::span<const std::uint8_t, device::kKeyBlockSize> payload) {
    std::ranges::copy(payload, keyboard.keyPage.begin());
}

Result readKeyboardImage(KeyboardConfig& keyboard, device::DeviceSession& session) {
    std::lock_guard hold(session.lock);
    FirstFailure failure;
    failure.note(session.beginTransfer().context("beginning the transfer"));
    failure.note(session.readDeviceInfo(keyboard.info).context("reading the device information"));
    if (Result length = keyTableLength(keyboard, session); !length) {
        // Nothing more is read and the transfer is left open, as the key
        // tables could not hold what would come.
        return length;
    }
    failure.note(session.readDefaultKeys(keyboard.defaultKeys).context("reading the default keys"));
    failure.note(readSlotBytes(session, 0, keyboard.image.slot(0).first(kTransferBytes))
                     .context("reading slot 0"));
    failure.note(session.readKeyPage(0, keyboard.keyPage).context("reading key page 0"));
    failure.note(readActiveSlotByte(session));
    failure.note(session.endTransfer().context("ending the transfer"));
    return failure.take();
}

Result reloadKeyboardSlot(KeyboardConfig& keyboard, device::DeviceSession& session) {
    std::lock_guard hold(session.lock);
    storeRecord(keyboard);
    FirstFailure failure;
    failure.note(readActiveSlotByte(session));
    keyboard.record.store(field::kSlot, 0);
    Result slot = readSlotBytes(session, 0, keyboard.image.slot(0).first(kTransferBytes));
    if (slot) {
        keyboard.image.slot(0)[field::kSlot] = 0;
    }
    failure.note(std::move(slot).context("reading slot 0"));
    loadRecord(keyboard);
    return failure.take();
}

Result readKeyboardDefaultKeys(KeyboardConfig& keyboard, device::DeviceSession& session) {
    std::lock_guard hold(session.lock);
    FirstFailure failure;
    failure.note(session.beginTransfer().context("beginning the transfer"));
    failure.note(session.readDeviceInfo(keyboard.info).context("reading the device information"));
    if (Result length = keyTableLength(keyboard, session); !length) {
        ignoreResult(session.endTransfer());
        return length;
    }
    // Only the table itself counts: the caller saves it when it arrived.
    Result table =
        session.readDefaultKeys(keyboard.defaultKeys).context("reading the default keys");
    ignoreResult(session.endTransfer());
    return table;
}

Result writeKeyboardConfig(device::DeviceSession& session, std::span<const KeyboardWrite> writes) {
    std::lock_guard hold(session.lock);
    // The notice is a courtesy the firmware does not answer reliably; the
    // writes that follow are what counts.
    ignoreResult(session.lightingNotice());
    FirstFailure failure;
    for (const KeyboardWrite& write : writes) {
        const std::uint8_t length = write.length == 3 ? 3 : 1;
        failure.note(session.writeBlock(write.offset, std::span(write.bytes).first(length)));
    }
    return failure.take();
}

Result writeKeyboardColour(device::DeviceSession& session, Rgb colour) {
    const std::array<std::uint8_t, 3> rgb{colour.red, colour.green, colour.blue};
    const KeyboardWrite writes[] = {{keyboard_field::kColourA, 3, rgb},
                                    {keyboard_field::kColourB, 3, rgb}};
    session.streamEnabled = 0;
    Result result = writeKeyboardConfig(session, writes);
    session.streamEnabled = 1;
    return result;
}

} // namespace quellix::config

#pragma once
// HID report descriptor parsing and report decoding.
//
// The parser follows the rules of the Windows HID parser so that the
// capability records and report lengths it produces are the ones the device
// layer was designed against: one entry per top-level application
// collection, report byte lengths counted with the report-id byte (one byte
// even when the descriptor uses no report ids), one capability per main item
// or per usage where a main item lists several usages, arrays and 1-bit
// variable fields as button capabilities, wider variable fields as value
// capabilities.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::hid {

// Status codes of the Windows HID parser library (public HID API values).
enum class Status : std::uint32_t {
    Success = 0x00110000,
    Null = 0x80110001,
    InvalidPreparsedData = 0xC0110001,
    InvalidReportType = 0xC0110002,
    InvalidReportLength = 0xC0110003,
    UsageNotFound = 0xC0110004,
    ValueOutOfRange = 0xC0110005,
    BadLogPhyValues = 0xC0110006,
    BufferTooSmall = 0xC0110007,
    IncompatibleReportId = 0xC011000A,
};

enum class ReportType : std::uint8_t { Input = 0, Output = 1, Feature = 2 };
inline constexpr std::size_t kReportTypeCount = 3;

// Range or single usage of a capability; for a single usage min == max.
struct UsageRange {
    std::uint16_t usageMin = 0;
    std::uint16_t usageMax = 0;
    std::uint16_t dataIndexMin = 0;
    std::uint16_t dataIndexMax = 0;
};

// Fields shared by button and value capabilities.
struct CapsCommon {
    std::uint16_t usagePage = 0;
    std::uint8_t reportId = 0;
    bool isAlias = false;
    std::uint16_t bitField = 0;       // the main item's data bits
    std::uint16_t linkCollection = 0; // index of the enclosing collection node
    std::uint16_t linkUsage = 0;
    std::uint16_t linkUsagePage = 0;
    bool isRange = false;
    bool isAbsolute = false;
    UsageRange range;
    // Where the field lies in the report (bits after the report-id byte).
    std::uint32_t bitOffset = 0;
    std::uint16_t reportSize = 0;  // bits per field
    std::uint16_t reportCount = 0; // fields
    bool isArray = false;          // main item without the Variable bit
    // Arrays: the field value that selects usageMin (later usages follow).
    std::int32_t arrayFirstIndex = 0;
};

struct ButtonCaps : CapsCommon {
    std::int32_t logicalMin = 0; // array items: the index range
    std::int32_t logicalMax = 0;
};

struct ValueCaps : CapsCommon {
    bool hasNull = false;
    std::uint32_t unitsExp = 0;
    std::uint32_t units = 0;
    std::int32_t logicalMin = 0;
    std::int32_t logicalMax = 0;
    std::int32_t physicalMin = 0;
    std::int32_t physicalMax = 0;
};

struct Caps {
    std::uint16_t usage = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
    std::uint16_t featureReportByteLength = 0;
    std::uint16_t numberLinkCollectionNodes = 0;
    std::uint16_t numberInputButtonCaps = 0;
    std::uint16_t numberInputValueCaps = 0;
    std::uint16_t numberInputDataIndices = 0;
    std::uint16_t numberOutputButtonCaps = 0;
    std::uint16_t numberOutputValueCaps = 0;
    std::uint16_t numberOutputDataIndices = 0;
    std::uint16_t numberFeatureButtonCaps = 0;
    std::uint16_t numberFeatureValueCaps = 0;
    std::uint16_t numberFeatureDataIndices = 0;
};

// The report byte length of one report type, counted with the report-id byte.
inline std::uint16_t reportByteLength(const Caps& caps, ReportType type) {
    switch (type) {
    case ReportType::Input:
        return caps.inputReportByteLength;
    case ReportType::Output:
        return caps.outputReportByteLength;
    case ReportType::Feature:
        break;
    }
    return caps.featureReportByteLength;
}

// What the platform keeps per top-level collection ("preparsed data").
struct PreparsedData {
    Caps caps;
    std::vector<ButtonCaps> buttonCaps[kReportTypeCount];
    std::vector<ValueCaps> valueCaps[kReportTypeCount];
    // Report ids of this collection's reports per type (empty when the
    // descriptor numbers no reports).
    std::vector<std::uint8_t> reportIds[kReportTypeCount];
    bool usesReportIds = false; // the whole descriptor numbers its reports
};

struct ParsedDescriptor {
    std::vector<PreparsedData> collections; // top-level application collections
};

struct ParseResult {
    bool ok = false;
    std::string error; // set when !ok: what is wrong and at which byte
};

// Parses a report descriptor.  Malformed input (unbalanced collections,
// oversized items, absurd report counts, main items outside a collection)
// is rejected with a message; `out` is then left empty.
ParseResult parseReportDescriptor(std::span<const std::uint8_t> bytes, ParsedDescriptor& out);

// Reads a descriptor file: binary, or hex text ("05 01 09 02", "0x05, 0x01",
// any separators, '#' or "//" comments).  On error `bytes` is empty and the
// message says what is wrong without repeating the file name.
ParseResult loadDescriptorFile(const std::string& fileName, std::vector<std::uint8_t>& bytes);

// One line per top-level collection, e.g.
// "col 1 usage_page 0x000c usage 0x0001 input 5 output 0 feature 0 caps input 1/0 output 0/0
// feature 0/0"
std::string describeCollections(const ParsedDescriptor& descriptor);

// --- Report decoding (HidP_* equivalents) -------------------------------

// Longest list of usages getUsages can return for this page (0: all pages).
std::uint32_t maxUsageListLength(const PreparsedData& data, ReportType type,
                                 std::uint16_t usagePage);

// Pressed buttons of `usagePage` in the report (array fields and 1-bit
// variable fields).  `count` holds the capacity in and the number found out;
// BufferTooSmall when more are pressed than fit (the first ones are stored).
Status getUsages(const PreparsedData& data, ReportType type, std::uint16_t usagePage,
                 std::uint16_t* usages, std::uint32_t& count, std::span<const std::uint8_t> report);

// Raw value of a usage (zero-extended field bits).
Status getUsageValue(const PreparsedData& data, ReportType type, std::uint16_t usagePage,
                     std::uint16_t usage, std::uint32_t& value,
                     std::span<const std::uint8_t> report);

// Value scaled into the physical range; fails with BadLogPhyValues when the
// ranges make scaling impossible and ValueOutOfRange when the field is
// outside the logical range.
Status getScaledUsageValue(const PreparsedData& data, ReportType type, std::uint16_t usagePage,
                           std::uint16_t usage, std::int32_t& value,
                           std::span<const std::uint8_t> report);

} // namespace quellix::hid

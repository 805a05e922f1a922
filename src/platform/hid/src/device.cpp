#include "quellix/hid/device.h"
namespace quellix::hid {
std::unique_ptr<Device> Device::open(const std::string&, const OpenFlags&, std::string* error) {
    if (error) *error = "not implemented yet";
    return nullptr;
}
Device::~Device() = default;
IoResult Device::read(std::uint8_t*, std::uint32_t, int, platform::Event*, std::uint32_t& n) { n = 0; return IoResult::Failed; }
IoResult Device::write(const std::uint8_t*, std::uint32_t, int, platform::Event*, std::uint32_t& n) { n = 0; return IoResult::Failed; }
void Device::dropPendingInput() {}
std::optional<std::vector<std::string>> enumerateInterfacePaths() { return std::nullopt; }
void setSysfsRoot(std::string) {}
void setDevRoot(std::string) {}
void setSimulatorDir(std::string) {}
std::string simulatorDir() { return {}; }
ParseResult parseReportDescriptor(std::span<const std::uint8_t>, ParsedDescriptor&) { return {false, "not implemented yet"}; }
ParseResult loadDescriptorFile(const std::string&, std::vector<std::uint8_t>&) { return {false, "not implemented yet"}; }
std::string describeCollections(const ParsedDescriptor&) { return {}; }
std::uint32_t maxUsageListLength(const PreparsedData&, ReportType, std::uint16_t) { return 0; }
Status getUsages(const PreparsedData&, ReportType, std::uint16_t, std::uint16_t*, std::uint32_t& c, std::span<const std::uint8_t>) { c = 0; return Status::UsageNotFound; }
Status getUsageValue(const PreparsedData&, ReportType, std::uint16_t, std::uint16_t, std::uint32_t&, std::span<const std::uint8_t>) { return Status::UsageNotFound; }
Status getScaledUsageValue(const PreparsedData&, ReportType, std::uint16_t, std::uint16_t, std::int32_t&, std::span<const std::uint8_t>) { return Status::UsageNotFound; }
}

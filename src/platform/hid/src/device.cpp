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
}

// Any bytes given as a profile file: every family's exact and lenient reads
// and the description must hold their promises (a refused file leaves the
// payload as it was; an accepted exact file is exactly header + payload).
#include "fuzz_check.h"
#include "quellix/profiles/families.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

using quellix::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellix::profiles;
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    for (std::size_t f = 0; f < kFamilyCount; ++f) {
        const FamilyInfo& info = familyInfo(static_cast<Family>(f));
        for (ReadMode mode : {ReadMode::Exact, ReadMode::Lenient}) {
            std::vector<std::uint8_t> payload(info.payloadBytes, 0x5A);
            const quellix::Result result = decodeProfile(file, mode, info.kind, payload);
            require(result.ok() || result == quellix::Status::BadFile);
            if (!result.ok()) {
                require(payload == std::vector<std::uint8_t>(info.payloadBytes, 0x5A));
            } else if (mode == ReadMode::Exact) {
                require(size == kHeaderBytes + info.payloadBytes);
                require(encodeProfile(info.kind, payload).size() == size);
            }
        }
    }
    const auto description = describeProfile(file);
    // A refusal says why.
    require(description.ok() || !description.result().detail().empty());
    if (description) {
        require(description->payload.size() + kHeaderBytes == size);
    }
    return 0;
}

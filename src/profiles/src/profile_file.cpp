#include "quellix/profiles/profile_file.h"

#include "quellix/profiles/families.h"

#include "quellix/platform/atomic_file.h"
#include "quellix/platform/debug.h"

#include <algorithm>
#include <cerrno>
#include <string>

namespace quellix::profiles {

namespace {

// Nothing a family stores comes near this; a bigger file is not a profile.
constexpr std::size_t kLargestFile = 64 * 1024;

constexpr std::size_t kKindOffset = 4;

bool hasMagic(std::string_view file) {
    return file.size() >= 2 && static_cast<std::uint8_t>(file[0]) == kMagic0 &&
           static_cast<std::uint8_t>(file[1]) == kMagic1;
}

std::uint16_t kindWord(std::string_view file) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(file[kKindOffset]) |
                                      static_cast<std::uint8_t>(file[kKindOffset + 1]) << 8);
}

} // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view readDiagnostic(const Result& result) {
    if (result.ok()) {
        return {};
    }
    return result == Status::BadFile ? "配置文件格式错误" : "配置文件丢失";
}

Result decodeProfile(std::string_view file, ReadMode mode, ProfileKind kind,
                     std::span<std::uint8_t> payload) {
    if (!hasMagic(file)) {
        return Result::failure(Status::BadFile, "no profile header");
    }
    if (mode == ReadMode::Exact) {
        if (file.size() != kHeaderBytes + payload.size()) {
            return Result::failure(Status::BadFile,
                                   std::to_string(file.size()) + " bytes where " +
                                       std::to_string(kHeaderBytes + payload.size()) +
                                       " were expected");
        }
        if (kindWord(file) != device::kindCode(kind)) {
            return Result::failure(Status::BadFile, "written for another kind of device");
        }
    }
    if (file.size() > kHeaderBytes) {
        const std::string_view body = file.substr(kHeaderBytes);
        const std::size_t n = std::min(body.size(), payload.size());
        std::copy_n(reinterpret_cast<const std::uint8_t*>(body.data()), n, payload.begin());
    }
    return Result::success();
}

std::string encodeProfile(ProfileKind kind, std::span<const std::uint8_t> payload) {
    std::string bytes(kHeaderBytes + payload.size(), '\0');
    bytes[0] = static_cast<char>(kMagic0);
    bytes[1] = static_cast<char>(kMagic1);
    const std::uint16_t word = device::kindCode(kind);
    bytes[kKindOffset] = static_cast<char>(word & 0xFF);
    bytes[kKindOffset + 1] = static_cast<char>(word >> 8);
    std::copy(payload.begin(), payload.end(), bytes.begin() + kHeaderBytes);
    return bytes;
}

Result readProfileFile(const std::filesystem::path& path, ReadMode mode, ProfileKind kind,
                       std::span<std::uint8_t> payload) {
    std::string file;
    if (Result read = platform::readWholeFile(path, kLargestFile, file); !read) {
        if (read.errorNumber() == EFBIG) {
            return Result::failure(Status::BadFile, "larger than any profile, " + path.string());
        }
        return read;
    }
    return decodeProfile(file, mode, kind, payload).context(path.string());
}

Result writeProfileFile(const std::filesystem::path& path, ProfileKind kind,
                        std::span<const std::uint8_t> payload) {
    Result written = platform::replaceFileAtomically(path, encodeProfile(kind, payload));
    if (!written) {
        platform::debugOutput(std::string(kWriteFailedDiagnostic) + " " + path.string() + ": " +
                              written.describe());
    }
    return written;
}

std::filesystem::path resolveNoCase(const std::filesystem::path& directory, std::string_view name) {
    std::filesystem::path exact = directory / name;
    std::error_code error;
    if (std::filesystem::exists(exact, error)) {
        return exact;
    }
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        if (equalsNoCase(entry.path().filename().string(), name)) {
            return entry.path();
        }
    }
    return exact;
}

Outcome<ProfileDescription> describeProfile(std::string_view file) {
    auto fail = [](const char* why) -> Outcome<ProfileDescription> {
        return Result::failure(Status::BadFile, why);
    };
    if (file.size() < kHeaderBytes) {
        return fail("shorter than the 16-byte profile header");
    }
    if (!hasMagic(file)) {
        return fail("does not start with the profile magic AA 55");
    }
    ProfileDescription d;
    d.kind = kindWord(file);
    d.payloadBytes = file.size() - kHeaderBytes;
    const auto* body = reinterpret_cast<const std::uint8_t*>(file.data()) + kHeaderBytes;
    d.payload.assign(body, body + d.payloadBytes);
    for (std::size_t f = 0; f < kFamilyCount; ++f) {
        const FamilyInfo& info = familyInfo(static_cast<Family>(f));
        if (info.payloadBytes == d.payloadBytes && device::kindCode(info.kind) == d.kind) {
            d.families.push_back(info.name);
        }
    }
    return d;
}

} // namespace quellix::profiles

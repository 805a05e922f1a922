#include "quellix/platform/key_store.h"

#include "quellix/platform/atomic_file.h"
#include "quellix/platform/ini.h"
#include "quellix/platform/ini_document.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace quellix::platform {

namespace {

std::mutex& storeMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace

MachineKeyStore MachineKeyStore::system() {
    const char* overridden = std::getenv("QUELLIX_MACHINE_STORE");
    if (overridden && *overridden)
        return MachineKeyStore(overridden);
    return MachineKeyStore("/etc/quellix/machine.ini");
}

std::optional<std::string> MachineKeyStore::readString(std::string_view keyPath,
                                                       std::string_view valueName) const {
    return findPrivateProfileString(keyPath, valueName, file_);
}

Result MachineKeyStore::writeString(std::string_view keyPath, std::string_view valueName,
                                    std::string_view value) {
    std::filesystem::path folder = file_.parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error)
            return Result::fromErrno(error.value(), folder.string());
    }
    if (!IniDocument::isWritableSectionName(keyPath) || !IniDocument::isWritableKey(valueName) ||
        !IniDocument::isWritableValue(value))
        return Result::failure(Status::BadArgument, std::string(valueName) + " cannot be stored");
    std::lock_guard lock(storeMutex());
    std::string bytes;
    const Result read = readWholeFile(file_, kProfileMaxFileBytes, bytes);
    if (!read && read.errorNumber() != ENOENT)
        return read; // never replace a store that could not be read
    // A new store is UTF-8, so that an administrator can read it as it is.
    IniDocument doc = !read ? IniDocument(TextEncoding::Utf8) : IniDocument::parse(bytes);
    doc.setValue(keyPath, valueName, value);
    return replaceFileAtomically(file_, doc.serialize());
}

} // namespace quellix::platform

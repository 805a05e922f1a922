#include "quellix/platform/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quellix::platform {

namespace fs = std::filesystem;

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // close() reports delayed write errors, so its result counts.
    std::error_code close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? std::error_code{} : lastError();
    }

private:
    int fd_;
};

std::error_code writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

// The file a link points to, or the path itself.
fs::path resolveTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        auto resolved = fs::weakly_canonical(path, ec);
        if (!ec)
            return resolved;
    }
    return path;
}

mode_t permissionsFor(const fs::path& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0)
        return info.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0644 & ~mask;
}

void syncDirectory(const fs::path& directory) {
    // Makes the rename itself durable; failing that is not an error of the
    // write, which has already taken effect.
    int fd =
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

namespace {

std::error_code replaceFile(const fs::path& path, std::string_view bytes) {
    const fs::path target = resolveTarget(path);
    const fs::path directory = target.parent_path();
    // Only a regular file (or nothing) is replaced: a rename over a device
    // node, a FIFO, a socket or a folder that a name or a link leads to
    // would put a file where the system had something else.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return std::make_error_code(S_ISDIR(existing.st_mode) ? std::errc::is_a_directory
                                                              : std::errc::invalid_argument);
    // Renaming needs only the folder's permission; a file its owner made
    // read-only must still not change.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0)
        return lastError();
    // A short fixed temporary name, so that a target name near the length
    // limit still leaves room for it.
    std::string pattern = (directory / (std::string(kTemporaryPrefix) + "XXXXXX")).string();
    FileDescriptor file(::mkostemp(pattern.data(), O_CLOEXEC));
    if (file.get() < 0)
        return lastError();
    auto fail = [&](std::error_code error) {
        ::unlink(pattern.c_str());
        return error;
    };
    if (auto error = writeAll(file.get(), bytes))
        return fail(error);
    if (::fchmod(file.get(), permissionsFor(target)) != 0)
        return fail(lastError());
    if (::fsync(file.get()) != 0)
        return fail(lastError());
    if (auto error = file.close())
        return fail(error);
    if (::rename(pattern.c_str(), target.c_str()) != 0)
        return fail(lastError());
    syncDirectory(directory);
    return {};
}

std::error_code readFile(const fs::path& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    // Without blocking: opening a FIFO for reading would wait for a writer.
    // What is not a regular file is refused below before anything is read.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0)
        return lastError();
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return lastError();
    if (!S_ISREG(info.st_mode))
        return std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                          : std::errc::invalid_argument);
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        if (n == 0)
            return {};
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes)
            return std::make_error_code(std::errc::file_too_large);
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

Result asResult(std::error_code error, const fs::path& path) {
    if (!error) {
        return Result::success();
    }
    return Result::fromErrno(error.value(), path.string());
}

} // namespace

int removeStaleTemporaries(const fs::path& directory) {
    constexpr std::size_t kRandomPart = 6;
    std::error_code ec;
    int removed = 0;
    for (const auto& entry : fs::directory_iterator(directory, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != kTemporaryPrefix.size() + kRandomPart ||
            !name.starts_with(kTemporaryPrefix) || !entry.is_regular_file(ec) ||
            entry.is_symlink(ec)) {
            continue;
        }
        if (fs::remove(entry.path(), ec)) {
            ++removed;
        }
    }
    return removed;
}

Result replaceFileAtomically(const fs::path& path, std::string_view bytes) {
    return asResult(replaceFile(path, bytes), path);
}

Result readWholeFile(const fs::path& path, std::size_t maxBytes, std::string& bytes) {
    return asResult(readFile(path, maxBytes, bytes), path);
}

} // namespace quellix::platform

#pragma once
// Whole-file reads and crash-safe whole-file replacement, for every file
// that holds user data.

#include "quellix/platform/result.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace quellix::platform {

// Writes `bytes` to a temporary file in the same directory, flushes it to
// disk, gives it the old file's permission bits (0644 less the umask for a
// new file) and renames it over `path`.  A symbolic link is followed, so
// the file it points to is replaced; only a regular file is replaced: a
// device node, FIFO, socket or folder at the path (or at the link's end)
// is refused and left as it is (EINVAL, EISDIR).  A file the caller may not
// write is refused (a rename would otherwise replace it).  On failure the old file is
// untouched, the temporary file is removed and a FileError with the
// system's error number and the path is returned.
Result replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Reads a whole regular file without ever blocking on the open (a FIFO is
// refused, not waited on): a FileError with the path and the system's
// error number; EFBIG beyond maxBytes, EISDIR or EINVAL for what is not a
// regular file.
Result readWholeFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes);

// The name every save's temporary file starts with; six random characters
// follow.
inline constexpr std::string_view kTemporaryPrefix = ".qx-tmp-";

// Removes the temporary files that saves left in `directory` when their
// process was killed between writing and renaming (regular files named
// kTemporaryPrefix and six characters; links and anything else stay).  For
// the start of the single instance, when no save of its own can be under
// way.  Returns how many were removed.
int removeStaleTemporaries(const std::filesystem::path& directory);

} // namespace quellix::platform

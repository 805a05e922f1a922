#pragma once
// Permission checks do not apply to root, and CI runs the tests as root.
// runUnprivileged runs a check with an ordinary user's rights all the same:
// directly when the tests already run as such a user, otherwise in a child
// process that hands `dir` to the user "nobody" and gives up root first.

#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quellix::platform::test {

// `check` returns an empty string when it holds, else what went wrong.
inline std::string runUnprivileged(const std::filesystem::path& dir,
                                   const std::function<std::string()>& check) {
    if (::geteuid() != 0)
        return check();
    constexpr uid_t kNobody = 65534;
    if (::chown(dir.c_str(), kNobody, kNobody) != 0)
        return "cannot hand the directory to nobody";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0)
            return "cannot hand " + entry.path().string() + " to nobody";
    }
    std::cout.flush();
    std::cerr.flush();
    const pid_t child = ::fork();
    if (child < 0)
        return "fork failed";
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0)
            ::_exit(2);
        const std::string failure = check();
        if (!failure.empty())
            std::cerr << failure << std::endl;
        ::_exit(failure.empty() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return "waitpid failed";
    if (!WIFEXITED(status))
        return "the unprivileged check did not exit";
    switch (WEXITSTATUS(status)) {
    case 0:
        return {};
    case 2:
        return "cannot give up root";
    default:
        return "the unprivileged check failed (see its message above)";
    }
}

} // namespace quellix::platform::test

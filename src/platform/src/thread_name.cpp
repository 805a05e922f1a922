#include "quellix/platform/thread_name.h"

#include <pthread.h>
#include <string>

namespace quellix::platform {

void setCurrentThreadName(std::string_view name) {
    constexpr std::size_t kLinuxLimit = 15;
    const std::string cut(name.substr(0, kLinuxLimit));
    pthread_setname_np(pthread_self(), cut.c_str());
}

} // namespace quellix::platform

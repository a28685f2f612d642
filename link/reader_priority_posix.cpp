#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

#include "link/port_platform.h"

namespace quillet {

void raiseReaderPriority() {
#if defined(__linux__)
    // Linux keeps a nice value per thread.
    const pid_t thread = ::gettid();
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
    if (errno == 0) {
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice - 2);
    }
#else
    sched_param param{};
    param.sched_priority = ::sched_get_priority_max(SCHED_OTHER);
    ::pthread_setschedparam(::pthread_self(), SCHED_OTHER, &param);
#endif
}

}  // namespace quillet

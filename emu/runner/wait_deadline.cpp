#include "emu/runner/wait_deadline.h"
#include <sys/timerfd.h>
#include <unistd.h>
#include "emu/mainloop.h"

namespace runner {

WaitDeadline::~WaitDeadline() {
    stop();
    if (fd >= 0) close(fd);
}

void WaitDeadline::start(int seconds, std::function<void()> expired) {
    stop();
    if (fd < 0) fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    if (fd < 0) return;  // no deadline rather than no run
    itimerspec spec{};
    spec.it_value.tv_sec = seconds;
    timerfd_settime(fd, 0, &spec, nullptr);
    watch = mainloop().addWatch(fd, POLLIN, [this, expired](short) {
        uint64_t expirations = 0;
        if (read(fd, &expirations, sizeof expirations) < 0) return;
        stop();
        expired();
    });
}

void WaitDeadline::stop() {
    if (watch) mainloop().removeWatch(watch);
    watch = 0;
    if (fd >= 0) {
        itimerspec off{};
        timerfd_settime(fd, 0, &off, nullptr);
    }
}

}  // namespace runner

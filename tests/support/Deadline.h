#pragma once

#include <sys/wait.h>
#include <unistd.h>

namespace scenova::testing {

// Whether work() returns true within the seconds given. It runs in a child
// process, ended when its time is up: a hang fails the test instead of
// stopping the suite.
template <class Work>
bool TrueWithin(unsigned seconds, Work work) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(seconds);
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace scenova::testing

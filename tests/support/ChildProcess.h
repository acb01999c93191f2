#pragma once
// Runs part of a test in a child process, for what must not happen in the
// test's own process (signals that end a program, giving up root) or may
// hang before the behaviour under test works.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test_support {

// Waits up to `seconds` for the child to end and gives its wait status, or
// -1 when it has not ended by then (it is then killed and reaped).
inline int WaitStatusWithin(pid_t child, int seconds)
{
    int status = 0;
    for (int waited = 0; waited < seconds * 20; ++waited) {
        if (waitpid(child, &status, WNOHANG) == child)
            return status;
        usleep(50000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

// Runs `body` in a child process and returns its exit status: -1 when it has
// not ended within `seconds` (it is then killed), -2 when a signal ended it.
template <class F>
int ChildStatusWithin(int seconds, F body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    const int status = WaitStatusWithin(child, seconds);
    if (status == -1)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

}  // namespace test_support

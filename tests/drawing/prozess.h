// Runs a part of a test in a child process of its own and hands back the numbers it reports.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <vector>

// Runs `arbeit` in a child and returns what it returned; empty when the child failed. The
// child ends with _exit, so nothing it started (a game's one-time start-up, the threads and
// buffers of a graphics library) reaches the test process or is checked at the child's end.
inline std::vector<uint64_t> ImKind(const std::function<std::vector<uint64_t>()> &arbeit)
{
    int rohr[2];
    if (pipe(rohr) != 0)
        return {};
    const pid_t kind = fork();
    if (kind == 0) {
        close(rohr[0]);
        const std::vector<uint64_t> werte = arbeit();
        for (uint64_t w : werte)
            if (write(rohr[1], &w, sizeof w) != static_cast<ssize_t>(sizeof w))
                _exit(3);
        _exit(werte.empty() ? 4 : 0);
    }
    close(rohr[1]);
    std::vector<uint64_t> werte;
    uint64_t w;
    while (read(rohr[0], &w, sizeof w) == static_cast<ssize_t>(sizeof w))
        werte.push_back(w);
    close(rohr[0]);
    int status = 0;
    waitpid(kind, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return werte;
}

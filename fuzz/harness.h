// The libFuzzer side of a feed: stops caught, and a reader's fault made a finding.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include "feed.h"

namespace feed {

// The original standard error, kept before libFuzzer closes it (-close_fd_mask) so that a
// fault is still explained next to the crash report.
inline int fault_fd = -1;

inline void StartFuzzing()
{
    CatchStops();
    fault_fd = fcntl(2, F_DUPFD_CLOEXEC, 3);
}

inline int Judge(const Outcome &o)
{
    if (o.fault.empty())
        return 0;
    if (fault_fd >= 0)
        dprintf(fault_fd, "\nfault: %s\n", o.fault.c_str());
    abort();
}

}  // namespace feed

// One fuzzer per feed: FUZZ_FEED(Mission) makes the entry points that drive feed::Mission.
#define FUZZ_FEED(name)                                                                    \
    extern "C" int LLVMFuzzerInitialize(int *, char ***)                                   \
    {                                                                                      \
        feed::StartFuzzing();                                                              \
        return 0;                                                                          \
    }                                                                                      \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                \
    {                                                                                      \
        return feed::Judge(feed::name(data, size));                                        \
    }

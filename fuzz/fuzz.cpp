// libFuzzer entry for one feed, chosen by FEED when built: the game's stops are caught, and
// a reader's wrong result is a finding, explained next to libFuzzer's report.
#include <fcntl.h>

#include "feed.h"

namespace {

int fault_fd = -1;  // standard error as it was before libFuzzer closed it (-close_fd_mask)

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    feed::CatchStops();
    fault_fd = fcntl(2, F_DUPFD_CLOEXEC, 3);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const feed::Outcome o = feed::FEED(data, size);
    if (o.fault.empty())
        return 0;
    dprintf(fault_fd, "\nfault: %s\n", o.fault.c_str());
    abort();
}

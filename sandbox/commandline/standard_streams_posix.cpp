// Closed standard streams on POSIX systems: open() returns the lowest free descriptor, so opening the
// null device in order fills the closed ones from 0 up.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "sandbox/commandline/standard_streams.h"

namespace sandbox::commandline {

void openClosedStandardStreams() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        const int opened = open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != descriptor) {
            dup2(opened, descriptor);
            close(opened);
        }
    }
}

}  // namespace sandbox::commandline

// Closed standard streams on Windows: the C run-time's descriptors 0 to 2 without an operating
// system handle are reopened on NUL.
#include <fcntl.h>
#include <io.h>

#include "sandbox/commandline/standard_streams.h"

namespace sandbox::commandline {

void openClosedStandardStreams() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (_get_osfhandle(descriptor) != -1) continue;
        const int opened = _open("NUL", _O_RDWR | _O_BINARY);
        if (opened >= 0 && opened != descriptor) {
            _dup2(opened, descriptor);
            _close(opened);
        }
    }
}

}  // namespace sandbox::commandline

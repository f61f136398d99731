// The program's standard streams, made safe to write before any file is opened: a stream that was
// closed would otherwise hand its number to the next file, and replies would land in a picture.
#pragma once

namespace sandbox::commandline {

// Opens the null device on each of descriptors 0, 1 and 2 that is closed.
void openClosedStandardStreams();

}  // namespace sandbox::commandline

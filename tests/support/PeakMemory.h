#pragma once

#include <QtGlobal>

// The peak resident memory of this process (VmHWM), for tests that bound what a peer can make
// the program hold. Reset sets the peak back to the current resident size, so that one test
// measures only its own growth.
namespace PeakMemory {

// False when the kernel refuses the reset.
bool Reset();
// VmHWM in bytes, or -1 when it cannot be read.
qint64 Peak();

} // namespace PeakMemory

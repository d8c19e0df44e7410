#pragma once

#include <QtGlobal>

// Large buffers are filled once and then read many times: huge pages cut the cost of touching
// them (tens of thousands of page faults for a log of a hundred megabytes) where the system
// offers them on request. A hint only; nothing changes where it is not taken.
void AdviseHugePages(void* data, qsizetype size);

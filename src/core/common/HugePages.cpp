#include "core/common/HugePages.h"

#ifdef __linux__
#include <sys/mman.h>
#endif

void AdviseHugePages(void* data, qsizetype size)
{
#ifdef __linux__
    constexpr quintptr huge = 2 * 1024 * 1024;
    const auto begin = (reinterpret_cast<quintptr>(data) + huge - 1) & ~(huge - 1);
    const auto end = (reinterpret_cast<quintptr>(data) + static_cast<quintptr>(size)) & ~(huge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

// Kestrova — identity photo maker.
#include "HugePages.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

void preferHugePages(QImage& image)
{
#ifdef Q_OS_LINUX
    constexpr quintptr kHugePage = 2 * 1024 * 1024;
    if (image.isNull()) {
        return;
    }
    const auto start = reinterpret_cast<quintptr>(image.bits());
    const quintptr end = start + quintptr(image.sizeInBytes());
    const quintptr alignedStart = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (end > alignedStart + kHugePage) {
        madvise(reinterpret_cast<void*>(alignedStart), (end - alignedStart) & ~(kHugePage - 1),
                MADV_HUGEPAGE);
    }
#else
    Q_UNUSED(image);
#endif
}

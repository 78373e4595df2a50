// Kestrova — identity photo maker.
#pragma once

#include <QImage>

/// A picture in memory mapped for it alone and handed back to the system the
/// moment the last copy of it goes. Made on a worker thread, memory from the
/// allocator would stay in that thread's arena once freed, and the next
/// photo's pictures, made on another thread, would come on top of it.
/// Null when there is no memory for it; only for 32-bit formats.
[[nodiscard]] QImage mappedImage(QSize size, QImage::Format format);

// Kestrova — identity photo maker.
#pragma once

#include <QImage>

/// A picture in memory mapped for it alone and handed back to the system the
/// moment the last copy of it goes, unless a MappedImageReuse keeps it for the
/// next. Made on a worker thread, memory from the allocator would stay in
/// that thread's arena once freed, and the next photo's pictures, made on
/// another thread, would come on top of it. Null when there is no memory for
/// it; only for 32-bit formats. Its pixels are whatever the memory held: the
/// maker writes every one.
[[nodiscard]] QImage mappedImage(QSize size, QImage::Format format);

/// While one exists, the memory of mapped pictures let go is kept for the next
/// mapped pictures to take, resized to fit, instead of handed back. A photo
/// opened in place of another of about its size then takes over its pages,
/// and neither waits for the system to free them nor to find and clear new
/// ones; on a virtual machine that has handed the free ones back to its host,
/// that clearing cost a 12 MP open 12 ms of a core. What is still kept when
/// the last one goes is handed back then. Any thread.
class MappedImageReuse
{
public:
    MappedImageReuse();
    ~MappedImageReuse();
    MappedImageReuse(const MappedImageReuse&) = delete;
    MappedImageReuse& operator=(const MappedImageReuse&) = delete;

    /// How much memory is kept for the next pictures now.
    [[nodiscard]] static qsizetype keptBytes();
};

// Kestrova — identity photo maker.
#pragma once

#include "PagePrefault.h"

#include <QImage>
#include <QSize>

#include <optional>
#include <vector>

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

/// Memory mapped in on a thread of its own for mapped pictures about to be
/// made, while the user is still choosing them. Fresh from the host of a
/// virtual machine, each megabyte costs a core 1.2-1.4 ms the first time it
/// is written, and a photo opened with none to take over would wait for that.
class PreparedPictures
{
public:
    /// Starts mapping in memory for 32-bit pictures of sizes; prepares
    /// nothing when there is no memory for all of them.
    explicit PreparedPictures(const std::vector<QSize>& sizes);
    /// Stops where it is; memory not handed over goes back to the system.
    ~PreparedPictures();
    PreparedPictures(const PreparedPictures&) = delete;
    PreparedPictures& operator=(const PreparedPictures&) = delete;

    /// Returns once all of the memory is mapped in.
    void wait();
    /// Stops where it is, and keeps the memory, however much of it is mapped
    /// in, for the next mapped pictures of these sizes to take, as memory let
    /// go is kept while a MappedImageReuse exists; with none, it goes back to
    /// the system.
    void handOver();

private:
    void stop();
    /// Stops the mapping in, then keeps the memory for the next pictures or hands it back.
    void letGo(bool kept);

    std::vector<PagePrefault::Area> m_areas;
    std::optional<PagePrefault> m_prefault;
};

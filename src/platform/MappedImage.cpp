// Kestrova — identity photo maker.
#include "MappedImage.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace {

constexpr qsizetype kBytesPerPixel = 4;

struct Mapping
{
    void* data;
    std::size_t bytes;
};

/// The memory kept for the next pictures, while anyone wants it kept.
struct Kept
{
    std::mutex mutex;
    int reusers = 0;
    std::vector<Mapping> mappings;
};

Kept& kept()
{
    // Never destroyed: a picture may be let go as the program ends. Made in
    // place, so that taking no memory of its own it cannot fail.
    alignas(Kept) static unsigned char storage[sizeof(Kept)];
    static Kept* const instance = new (storage) Kept;
    return *instance;
}

void unmap(const Mapping& mapping)
{
    munmap(mapping.data, mapping.bytes);
}

constexpr std::uintptr_t kHugePage = 2 * 1024 * 1024;

/// Fresh memory for bytes, starting on a huge page's boundary so that the
/// kernel may back all but its tail with huge pages: on the virtual machines
/// this was measured on, each fault of a plain page cost about 10 us, 2.4 ms
/// a megabyte, while huge pages cost 1.2-1.4 ms a megabyte fresh from the
/// host and 0.05 ms once the guest had had them. Null when there is none.
void* mapFresh(std::size_t bytes)
{
    const auto mapAnonymous = [](std::size_t length) -> void* {
        void* area =
            mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return area == MAP_FAILED ? nullptr : area;
    };
    if (bytes < kHugePage) {
        return mapAnonymous(bytes);
    }
    // Mapped a huge page longer, then trimmed to start on a boundary.
    const std::size_t padded = bytes + kHugePage;
    void* area = mapAnonymous(padded);
    if (area == nullptr) {
        return nullptr;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t aligned = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t end = (aligned + bytes + page - 1) / page * page;
    if (aligned > begin) {
        munmap(area, aligned - begin);
    }
    if (begin + padded > end) {
        munmap(reinterpret_cast<void*>(end), begin + padded - end);
    }
    auto* data = reinterpret_cast<void*>(aligned);
    // Only advice: where the kernel has no huge pages, plain ones serve.
    madvise(data, bytes, MADV_HUGEPAGE);
    return data;
}

/// Takes the kept mapping that fits best, resized to bytes: the smallest
/// large enough, or else the largest; null when none is kept or it cannot
/// be resized.
void* takeKept(std::size_t bytes)
{
    Mapping taken{};
    {
        Kept& k = kept();
        const std::lock_guard lock(k.mutex);
        if (k.mappings.empty()) {
            return nullptr;
        }
        const auto better = [bytes](const Mapping& a, const Mapping& b) {
            const bool aFits = a.bytes >= bytes;
            const bool bFits = b.bytes >= bytes;
            if (aFits != bFits) {
                return aFits;
            }
            return aFits ? a.bytes < b.bytes : a.bytes > b.bytes;
        };
        const auto best = std::min_element(k.mappings.begin(), k.mappings.end(), better);
        taken = *best;
        k.mappings.erase(best);
    }
    if (taken.bytes == bytes) {
        return taken.data;
    }
    // Shrunk, the rest goes back to the system; grown, the new part comes fresh.
    void* resized = mremap(taken.data, taken.bytes, bytes, MREMAP_MAYMOVE);
    if (resized == MAP_FAILED) {
        unmap(taken);
        return nullptr;
    }
    return resized;
}

/// Keeps mapping for the next pictures while anyone wants memory kept;
/// hands it back otherwise.
void keep(const Mapping& mapping)
{
    {
        Kept& k = kept();
        const std::lock_guard lock(k.mutex);
        if (k.reusers > 0) {
            try {
                k.mappings.push_back(mapping);
                return;
            } catch (const std::bad_alloc&) {
                // No room to note it: handed back instead.
            }
        }
    }
    unmap(mapping);
}

void release(void* info)
{
    const std::unique_ptr<Mapping> mapping(static_cast<Mapping*>(info));
    keep(*mapping);
}

/// The bytes of a mapped picture of size.
std::size_t pictureBytes(QSize size)
{
    return std::size_t(size.width()) * kBytesPerPixel * std::size_t(size.height());
}

} // namespace

QImage mappedImage(QSize size, QImage::Format format)
{
    if (size.isEmpty()) {
        return {};
    }
    const qsizetype bytesPerLine = qsizetype(size.width()) * kBytesPerPixel;
    const std::size_t bytes = pictureBytes(size);
    void* data = takeKept(bytes);
    if (data == nullptr) {
        data = mapFresh(bytes);
        if (data == nullptr) {
            return {};
        }
    }
    // Until the picture owns the mapping, no room for its note or for the
    // picture itself hands it straight back.
    try {
        auto note = std::make_unique<Mapping>(Mapping{data, bytes});
        QImage image(static_cast<uchar*>(data), size.width(), size.height(), bytesPerLine, format,
                     release, note.get());
        if (!image.isNull()) {
            note.release();
            return image;
        }
    } catch (const std::bad_alloc&) {
        // Handed back below, as for a picture Qt would not make.
    }
    unmap(Mapping{data, bytes});
    return {};
}

MappedImageReuse::MappedImageReuse()
{
    Kept& k = kept();
    const std::lock_guard lock(k.mutex);
    ++k.reusers;
}

MappedImageReuse::~MappedImageReuse()
{
    std::vector<Mapping> left;
    {
        Kept& k = kept();
        const std::lock_guard lock(k.mutex);
        if (--k.reusers > 0) {
            return;
        }
        left.swap(k.mappings);
    }
    std::for_each(left.begin(), left.end(), unmap);
}

qsizetype MappedImageReuse::keptBytes()
{
    Kept& k = kept();
    const std::lock_guard lock(k.mutex);
    qsizetype total = 0;
    for (const Mapping& mapping : k.mappings) {
        total += qsizetype(mapping.bytes);
    }
    return total;
}

PreparedPictures::PreparedPictures(const std::vector<QSize>& sizes)
{
    try {
        m_areas.reserve(sizes.size());
        for (const QSize size : sizes) {
            if (size.isEmpty()) {
                continue;
            }
            const std::size_t bytes = pictureBytes(size);
            void* data = mapFresh(bytes);
            if (data == nullptr) {
                throw std::bad_alloc();
            }
            m_areas.push_back(PagePrefault::Area{data, qsizetype(bytes)});
        }
        m_prefault.emplace(m_areas);
    } catch (const std::bad_alloc&) {
        // Prepared for nothing: the pictures map their memory as they are made.
        stop();
    }
}

PreparedPictures::~PreparedPictures()
{
    stop();
}

void PreparedPictures::wait()
{
    if (m_prefault) {
        m_prefault->wait();
    }
}

void PreparedPictures::handOver()
{
    letGo(true);
}

void PreparedPictures::stop()
{
    letGo(false);
}

void PreparedPictures::letGo(bool kept)
{
    m_prefault.reset();
    for (const PagePrefault::Area& area : std::exchange(m_areas, {})) {
        const Mapping mapping{area.data, std::size_t(area.bytes)};
        if (kept) {
            keep(mapping);
        } else {
            unmap(mapping);
        }
    }
}

// Kestrova — identity photo maker.
#include "MappedImage.h"

#include <sys/mman.h>

namespace {

constexpr qsizetype kBytesPerPixel = 4;

struct Mapping
{
    void* data;
    std::size_t bytes;
};

void unmap(void* info)
{
    auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->data, mapping->bytes);
    delete mapping;
}

} // namespace

QImage mappedImage(QSize size, QImage::Format format)
{
    if (size.isEmpty()) {
        return {};
    }
    const qsizetype bytesPerLine = qsizetype(size.width()) * kBytesPerPixel;
    const auto bytes = std::size_t(bytesPerLine) * std::size_t(size.height());
    void* data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED) {
        return {};
    }
    return QImage(static_cast<uchar*>(data), size.width(), size.height(), bytesPerLine, format,
                  unmap, new Mapping{data, bytes});
}

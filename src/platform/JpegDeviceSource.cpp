// Kestrova — identity photo maker.
#include "JpegDeviceSource.h"

#include <QIODevice>

#include <jerror.h>

#include <algorithm>

namespace {

// Read at a time: small enough that the first rows come out early, large
// enough that a large file takes few reads.
constexpr qint64 kReadChunkBytes = 256 * 1024;

// Past the end of what can be read, an end marker: libjpeg then fills in what
// is missing and warns, as its own file reader does.
boolean fillFromDevice(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<JpegDeviceSource*>(info->src);
    qint64 got = 0;
    if (source->bytesLeft > 0) {
        got = source->device->read(reinterpret_cast<char*>(source->buffer),
                                   std::min(source->bytesLeft, kReadChunkBytes));
    }
    if (got <= 0) {
        source->bytesLeft = 0;
        source->buffer[0] = JOCTET(0xff);
        source->buffer[1] = JOCTET(JPEG_EOI);
        got = 2;
        WARNMS(info, JWRN_JPEG_EOF);
    } else {
        source->bytesLeft -= got;
    }
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = std::size_t(got);
    return TRUE;
}

void skipFromDevice(j_decompress_ptr info, long count)
{
    jpeg_source_mgr& manager = *info->src;
    while (count > long(manager.bytes_in_buffer)) {
        count -= long(manager.bytes_in_buffer);
        fillFromDevice(info);
    }
    if (count > 0) {
        manager.next_input_byte += count;
        manager.bytes_in_buffer -= std::size_t(count);
    }
}

void nothingToDo(j_decompress_ptr) {}

} // namespace

void JpegDeviceSource::attach(jpeg_decompress_struct& info, QIODevice& from, qint64 maxBytes)
{
    device = &from;
    bytesLeft = maxBytes;
    buffer = static_cast<JOCTET*>((*info.mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, std::size_t(kReadChunkBytes)));
    manager.next_input_byte = nullptr;
    manager.bytes_in_buffer = 0;
    manager.init_source = nothingToDo;
    manager.fill_input_buffer = fillFromDevice;
    manager.skip_input_data = skipFromDevice;
    manager.resync_to_restart = jpeg_resync_to_restart;
    manager.term_source = nothingToDo;
    info.src = &manager;
}

// Kestrova — identity photo maker.
#include "JpegEncoder.h"

#include "SaveStatus.h"
#include "platform/JpegGuard.h"

#include <QImage>

#include <cstddef>
#include <cstdlib>
#include <memory>

#include <jerror.h>

namespace {

constexpr int kRgbComponents = 3;

// The largest baseline block: a 16-bit DC code with 11 magnitude bits, 63 AC
// coefficients of a 16-bit code with 10 magnitude bits each, and an end-of-block
// code; byte stuffing may double every byte of it.
constexpr std::size_t kMaxBlockBits = (16 + 11) + 63 * (16 + 10) + 16;
constexpr std::size_t kMaxBlockBytes = 2 * ((kMaxBlockBits + 7) / 8);
// Markers, quantisation and Huffman tables and the JFIF header fit well within this.
constexpr std::size_t kHeaderBytes = 4096;
// A 4:2:0 MCU covers 16 x 16 pixels with four luma and two chroma blocks.
constexpr std::size_t kMcuPixels = 16;
constexpr std::size_t kBlocksPerMcu = 6;

struct FreeDeleter
{
    void operator()(unsigned char* buffer) const { std::free(buffer); }
};
using MallocBuffer = std::unique_ptr<unsigned char, FreeDeleter>;

/// Everything libjpeg needs for one encoding; plain data, so it may be jumped over.
struct Job
{
    const QImage* rgb;
    int quality;
    unsigned char** buffer;
    unsigned long* size;
};

// jpeg_mem_dest only tells where the output went once compression finishes; if
// it had to grow its buffer and then failed, the grown buffer would be lost. A
// buffer the encoder can never outgrow keeps ownership with us from start to end.
std::size_t worstCaseSize(const QImage& picture)
{
    const std::size_t mcusAcross = (std::size_t(picture.width()) + kMcuPixels - 1) / kMcuPixels;
    const std::size_t mcusDown = (std::size_t(picture.height()) + kMcuPixels - 1) / kMcuPixels;
    return kHeaderBytes + mcusAcross * mcusDown * kBlocksPerMcu * kMaxBlockBytes;
}

// Every libjpeg call that can fail. A failure jumps out of here, so nothing
// in this function may need destroying.
void compress(jpeg_compress_struct& cinfo, const Job& job)
{
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, job.buffer, job.size);
    cinfo.image_width = JDIMENSION(job.rgb->width());
    cinfo.image_height = JDIMENSION(job.rgb->height());
    cinfo.input_components = kRgbComponents;
    cinfo.in_color_space = JCS_RGB;
    // The defaults are YCbCr with 2 x 2 luma sampling (4:2:0) and a JFIF header.
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, job.quality, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(job.rgb->constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
}

} // namespace

EncodedJpeg encodeJpeg(const QImage& picture, int quality)
{
    if (picture.isNull()) {
        return {{}, kSaveInvalidParameter};
    }
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    // Converting a valid picture fails only for want of memory.
    if (rgb.isNull()) {
        return {{}, kSaveOutOfMemory};
    }
    const std::size_t capacity = worstCaseSize(rgb);
    MallocBuffer owned(static_cast<unsigned char*>(std::malloc(capacity)));
    if (!owned) {
        return {{}, kSaveOutOfMemory};
    }
    unsigned char* buffer = owned.get();
    unsigned long size = static_cast<unsigned long>(capacity);

    jpeg_compress_struct cinfo{};
    JpegGuard guard;
    cinfo.err = guard.errorManager();
    const Job job{&rgb, quality, &buffer, &size};
    const bool compressed = guard.run(cinfo, compress, job);
    jpeg_destroy_compress(&cinfo);
    if (!compressed) {
        return {{},
                guard.lastMessageCode() == JERR_OUT_OF_MEMORY ? kSaveOutOfMemory
                                                              : kSaveGenericError};
    }
    // Should the bound ever prove short, libjpeg hands back a buffer of its own.
    const MallocBuffer grown(buffer != owned.get() ? buffer : nullptr);
    return {QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size)), kSaveOk};
}

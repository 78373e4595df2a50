// Kestrova — identity photo maker.
#include "JpegCornerPass.h"

#include "DecodeListener.h"
#include "JpegDeviceSource.h"
#include "JpegGuard.h"
#include "JpegOutput.h"

#include <QRect>

#include <algorithm>

namespace {

/// What the decoding step uses; plain data only, because libjpeg may jump out of it.
struct CornerJob
{
    JpegDeviceSource* source = nullptr;
    QIODevice* device = nullptr;
    qint64 maxBytes = 0;
    const JpegCornerPass::Target* target = nullptr;
    const std::stop_token* stop = nullptr;
    const DecodeListener* listener = nullptr;
    bool done = false;
};

void decodeCorner(jpeg_decompress_struct& info, CornerJob& job)
{
    const JpegCornerPass::Target& target = *job.target;
    job.source->attach(info, *job.device, job.maxBytes);
    jpeg_read_header(&info, TRUE);
    // Only the file the whole decode reads, as it reads it: never another
    // picture's pixels in this one's corner.
    const bool sameKind = info.image_width == JDIMENSION(target.whole.width()) &&
                          info.image_height == JDIMENSION(target.whole.height()) &&
                          !info.progressive_mode && info.jpeg_color_space != JCS_CMYK &&
                          info.jpeg_color_space != JCS_YCCK;
    if (!sameKind) {
        return;
    }
    info.out_color_space = kRgb32Space;
    info.dct_method = kDctMethod;
    jpeg_start_decompress(&info);
    const QRect& part = target.stored;
    // Past either side, so that the corner's own edge columns are upsampled
    // from their real neighbours, as in the whole decode.
    JDIMENSION left = JDIMENSION(std::max(0, part.left() - JpegCornerPass::kMarginColumns));
    const JDIMENSION end = std::min<JDIMENSION>(
        info.output_width, JDIMENSION(part.right() + 1 + JpegCornerPass::kMarginColumns));
    JDIMENSION width = end - left;
    jpeg_crop_scanline(&info, &left, &width);
    if (part.top() > 0) {
        jpeg_skip_scanlines(&info, JDIMENSION(part.top()));
    }
    JSAMPARRAY rows = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                info.output_width * kBytesPerPixel, kStripRows);
    const auto bottom = JDIMENSION(part.bottom() + 1);
    while (info.output_scanline < bottom) {
        if (job.stop->stop_requested() || job.listener->stopRequested()) {
            return;
        }
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION got =
            jpeg_read_scanlines(&info, rows, std::min<JDIMENSION>(kStripRows, bottom - first));
        if (got == 0) {
            return;
        }
        for (JDIMENSION r = 0; r < got; ++r) {
            const auto* in = reinterpret_cast<const QRgb*>(rows[r]) + (part.left() - int(left));
            QRgb* out = target.origin + qsizetype(first + r) * target.dy;
            for (int x = 0; x < part.width(); ++x) {
                out[qsizetype(part.left() + x) * target.dx] = in[x];
            }
        }
    }
    // Data that ran short or needed mending may read differently in the whole
    // decode, which then fills the corner with its own pixels.
    job.done = info.err->num_warnings == 0;
}

} // namespace

JpegCornerPass::JpegCornerPass(QIODevice& device, qint64 maxBytes, const Target& target,
                               DecodeListener& listener)
    : m_device(device), m_maxBytes(maxBytes), m_target(target), m_listener(listener)
{
    if (m_listener.offerAhead(*this)) {
        return;
    }
    m_stage = Stage::Running;
    m_thread = std::jthread([this] { run(); });
}

JpegCornerPass::~JpegCornerPass()
{
    m_stop.request_stop();
    (void)finish();
}

bool JpegCornerPass::finish()
{
    if (m_thread.joinable()) {
        m_thread.join();
    } else {
        m_listener.withdrawAhead();
    }
    std::unique_lock lock(m_mutex);
    if (m_stage == Stage::Offered) {
        m_stage = Stage::Over;
    }
    m_over.wait(lock, [this] { return m_stage == Stage::Over; });
    return m_done;
}

bool JpegCornerPass::claim()
{
    const std::lock_guard lock(m_mutex);
    if (m_stage != Stage::Offered) {
        return false;
    }
    m_stage = Stage::Running;
    return true;
}

void JpegCornerPass::run()
{
    jpeg_decompress_struct info{};
    JpegGuard guard;
    info.err = guard.errorManager();
    JpegDeviceSource source{};
    const std::stop_token stop = m_stop.get_token();
    CornerJob job;
    job.source = &source;
    job.device = &m_device;
    job.maxBytes = m_maxBytes;
    job.target = &m_target;
    job.stop = &stop;
    job.listener = &m_listener;
    jpeg_create_decompress(&info);
    const bool done = guard.run(info, decodeCorner, job) && job.done;
    jpeg_destroy_decompress(&info);
    if (done) {
        m_listener.aheadDone(m_target.shown);
    }
    // Whoever waits may end this pass as soon as it hears it is over.
    const std::lock_guard lock(m_mutex);
    m_done = done;
    m_stage = Stage::Over;
    m_over.notify_all();
}

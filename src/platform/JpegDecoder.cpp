// Kestrova — identity photo maker.
#include "JpegDecoder.h"

#include "ColourProfile.h"
#include "DecodeListener.h"
#include "JpegCornerPass.h"
#include "JpegDeviceSource.h"
#include "JpegGuard.h"
#include "JpegOutput.h"
#include "MappedImage.h"
#include "PagePrefault.h"
#include "StreamedConversion.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// A progressive file may repeat scans without end, each one costing about a
// whole decode; libjpeg-turbo's own tools stop at this many.
constexpr int kMaxProgressiveScans = 500;
// Where an ICC colour profile is stored, split over as many markers as it needs.
constexpr int kIccMarker = JPEG_APP0 + 2;
constexpr unsigned int kMaxMarkerBytes = 0xffff;
// What libjpeg decodes where a file's data runs out: blocks of mid grey.
constexpr QRgb kMissingPixel = 0xff808080;

void limitScans(j_common_ptr info)
{
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->progressive_mode && decompress->input_scan_number > kMaxProgressiveScans) {
        (*info->err->error_exit)(info);
    }
}

/// Where decoded pixel (x, y) goes: origin + x * dx + y * dy, in pixels.
struct Placement
{
    QRgb* origin = nullptr;
    qsizetype dx = 1;
    qsizetype dy = 0;
};

class StripPlacer;

/// Everything the decoding steps share; plain data only, because libjpeg may
/// jump out of them.
struct Job
{
    JpegDeviceSource* source = nullptr;
    QIODevice* device = nullptr;
    qint64 maxBytes = 0;
    JDIMENSION width = 0;
    JDIMENSION height = 0;
    bool cmyk = false;
    Placement placement;
    bool direct = false;    // rows go straight into the image, upright and RGB32
    uchar* strip = nullptr; // kStripRows rows of width pixels otherwise
    // Places strips on a thread of its own, when there is one: the strips are its.
    StripPlacer* placer = nullptr;
    // The corner another pass decodes beside this one: this pass writes the
    // rest of its rows, and keeps its own pixels of it aside in cornerCopy
    // for when that pass fails. Its rows are told done once it is settled.
    JpegCornerPass* cornerPass = nullptr;
    QRect corner; // in stored pixels
    QRgb* cornerCopy = nullptr;
    JOCTET* profile = nullptr; // the embedded ICC profile, malloc'ed by libjpeg
    unsigned int profileSize = 0;
    QImageIOHandler::Transformations transformation;
    // Told of each region of the image whose pixels are final.
    void (*regionDone)(void* sink, QRect region) = nullptr;
    void* sink = nullptr;
    // Asked between strips whether to go on; null when nobody follows the decode.
    const DecodeListener* listener = nullptr;
    JDIMENSION rowsDone = 0;
    JDIMENSION rowsTold = 0;
    bool stopped = false;
};

QPoint turned(qsizetype x, qsizetype y, qsizetype width, qsizetype height,
              QImageIOHandler::Transformations transformation);

/// Where stored rows first .. first + count - 1 lie in the turned image.
QRect placedRows(const Job& job, JDIMENSION first, JDIMENSION count)
{
    const QPoint a = turned(0, first, job.width, job.height, job.transformation);
    const QPoint b =
        turned(job.width - 1, first + count - 1, job.width, job.height, job.transformation);
    // Not QRect::normalized(), which moves both edges of a flipped rectangle one pixel in.
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

void readHeader(jpeg_decompress_struct& info, Job& job)
{
    job.source->attach(info, *job.device, job.maxBytes);
    jpeg_save_markers(&info, kIccMarker, kMaxMarkerBytes);
    jpeg_read_header(&info, TRUE);
    // libjpeg cannot turn CMYK into RGB itself.
    job.cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = job.cmyk ? JCS_CMYK : kRgb32Space;
    info.dct_method = kDctMethod;
    job.width = info.image_width;
    job.height = info.image_height;
}

// Adobe writes CMYK inverted, 255 meaning no ink, as nearly every CMYK JPEG is.
void cmykToRgb32(uchar* row, JDIMENSION width)
{
    auto* out = reinterpret_cast<QRgb*>(row);
    for (JDIMENSION x = 0; x < width; ++x) {
        const uchar* in = row + x * kBytesPerPixel;
        const int k = in[3];
        out[x] = qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
    }
}

/// Where row r of a strip starts, in bytes: a strip holds rows of the stored width.
[[nodiscard]] qsizetype stripOffset(const Job& job, qsizetype r)
{
    return r * qsizetype(job.width) * kBytesPerPixel;
}

/// Places columns x0 .. x1 - 1 of the strip's rows stripRow .. stripRow + rows - 1,
/// which are stored rows firstRow onwards.
void placeStrip(const Job& job, const uchar* stripData, int stripRow, JDIMENSION firstRow, int rows,
                JDIMENSION x0, JDIMENSION x1)
{
    const Placement& p = job.placement;
    const auto* strip = reinterpret_cast<const QRgb*>(stripData + stripOffset(job, stripRow));
    if (p.dx == 1 || p.dx == -1) {
        for (int r = 0; r < rows; ++r) {
            const QRgb* in = strip + qsizetype(r) * job.width;
            QRgb* out = p.origin + qsizetype(firstRow + r) * p.dy;
            for (JDIMENSION x = x0; x < x1; ++x) {
                out[qsizetype(x) * p.dx] = in[x];
            }
        }
        return;
    }
    // Turned a quarter: walking across the strip writes short runs along an
    // output row, which keeps the writes within a few cache lines.
    for (JDIMENSION x = x0; x < x1; ++x) {
        QRgb* out = p.origin + qsizetype(x) * p.dx + qsizetype(firstRow) * p.dy;
        for (int r = 0; r < rows; ++r) {
            out[r * p.dy] = strip[qsizetype(r) * job.width + x];
        }
    }
}

/// Places the strip's rows, stored rows firstRow onwards: around the corner
/// decoded beside this pass, whose pixels go aside into the copy instead.
void placeAroundCorner(const Job& job, const uchar* strip, JDIMENSION firstRow, JDIMENSION rows)
{
    const QRect& c = job.corner;
    const JDIMENSION end = firstRow + rows;
    const auto top = std::clamp(JDIMENSION(c.top()), firstRow, end);
    const auto bottom = std::clamp(JDIMENSION(c.bottom() + 1), firstRow, end);
    const auto left = JDIMENSION(c.left());
    const auto right = JDIMENSION(c.right() + 1);
    // Rows a direct decode wrote in place need no placing.
    if (!job.direct) {
        placeStrip(job, strip, 0, firstRow, int(top - firstRow), 0, job.width);
        placeStrip(job, strip, int(bottom - firstRow), bottom, int(end - bottom), 0, job.width);
    }
    const int inBand = int(bottom - top);
    placeStrip(job, strip, int(top - firstRow), top, inBand, 0, left);
    placeStrip(job, strip, int(top - firstRow), top, inBand, right, job.width);
    for (JDIMENSION y = top; y < bottom; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(strip + stripOffset(job, y - firstRow));
        std::copy(in + left, in + right, job.cornerCopy + qsizetype(y - c.top()) * c.width());
    }
}

/// Waits for the corner pass; when it failed, the corner gets this pass's own
/// pixels of the rows decoded so far.
void settleCorner(Job& job)
{
    if (job.cornerPass == nullptr) {
        return;
    }
    if (!job.cornerPass->finish()) {
        const QRect& c = job.corner;
        const Placement& p = job.placement;
        for (JDIMENSION y = JDIMENSION(c.top());
             y < std::min(job.rowsDone, JDIMENSION(c.bottom() + 1)); ++y) {
            const QRgb* in = job.cornerCopy + qsizetype(y - c.top()) * c.width();
            QRgb* out = p.origin + qsizetype(y) * p.dy;
            for (int x = c.left(); x <= c.right(); ++x) {
                out[qsizetype(x) * p.dx] = in[x - c.left()];
            }
        }
    }
    job.cornerPass = nullptr;
}

/// Tells the rows decoded since last told, but none of the corner's rows, or
/// any after them, before the corner pass is settled.
void tellRows(Job& job)
{
    if (job.cornerPass != nullptr && job.rowsDone > JDIMENSION(job.corner.bottom())) {
        settleCorner(job);
    }
    JDIMENSION told = job.rowsDone;
    if (job.cornerPass != nullptr) {
        told = std::min(told, JDIMENSION(job.corner.top()));
    }
    if (job.regionDone == nullptr || told <= job.rowsTold) {
        return;
    }
    job.regionDone(job.sink, placedRows(job, job.rowsTold, told - job.rowsTold));
    job.rowsTold = told;
}

/// The strip's size: rows decoded there before they are placed.
[[nodiscard]] std::size_t stripBytes(const Job& job)
{
    return std::size_t(stripOffset(job, kStripRows));
}

[[nodiscard]] bool inCornerBand(const Job& job, JDIMENSION row)
{
    return job.cornerPass != nullptr && row >= JDIMENSION(job.corner.top()) &&
           row <= JDIMENSION(job.corner.bottom());
}

/// What follows the decoding of a strip, stored rows first onwards: placing
/// its rows where they belong, and telling them.
void finishStrip(Job& job, uchar* strip, JDIMENSION first, JDIMENSION got)
{
    if (job.cmyk) {
        for (JDIMENSION r = 0; r < got; ++r) {
            cmykToRgb32(strip + stripOffset(job, r), job.width);
        }
    }
    if (job.cornerPass != nullptr) {
        placeAroundCorner(job, strip, first, got);
    } else if (!job.direct) {
        placeStrip(job, strip, 0, first, int(got), 0, job.width);
    }
    job.rowsDone = first + got;
    tellRows(job);
}

/// Places strips of decoded rows on a thread of its own, in the order they
/// were decoded, while the decoding thread fills the next one. On the
/// decoding thread, moving the pixels of a 12 MP photo stored on its side into
/// place took about 10 ms of its 80.
class StripPlacer
{
public:
    /// Starts the thread; throws std::system_error when none can be had.
    explicit StripPlacer(Job& job) : m_job(job)
    {
        for (Strip& strip : m_strips) {
            strip.bytes.resize(stripBytes(job));
        }
        m_thread = std::jthread([this] { run(); });
    }
    ~StripPlacer() { finish(); }
    StripPlacer(const StripPlacer&) = delete;
    StripPlacer& operator=(const StripPlacer&) = delete;

    /// The strip to decode into next, once its rows from before are placed.
    [[nodiscard]] uchar* freeStrip()
    {
        std::unique_lock lock(m_mutex);
        Strip& strip = m_strips[m_next];
        m_changed.wait(lock, [&strip] { return !strip.queued; });
        return strip.bytes.data();
    }
    /// Hands over the strip freeStrip() gave, holding stored rows first onwards.
    void place(JDIMENSION first, JDIMENSION rows)
    {
        {
            const std::lock_guard lock(m_mutex);
            Strip& strip = m_strips[m_next];
            strip.first = first;
            strip.rows = rows;
            strip.queued = true;
            m_next = 1 - m_next;
        }
        m_changed.notify_all();
    }
    /// Returns once every strip handed over is placed, and the thread has ended.
    void finish()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_closing = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

private:
    struct Strip
    {
        std::vector<uchar> bytes;
        JDIMENSION first = 0;
        JDIMENSION rows = 0;
        bool queued = false;
    };

    void run()
    {
        for (int at = 0;; at = 1 - at) {
            Strip& strip = m_strips[at];
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this, &strip] { return strip.queued || m_closing; });
                if (!strip.queued) {
                    return;
                }
            }
            finishStrip(m_job, strip.bytes.data(), strip.first, strip.rows);
            {
                const std::lock_guard lock(m_mutex);
                strip.queued = false;
            }
            m_changed.notify_all();
        }
    }

    Job& m_job;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::array<Strip, 2> m_strips;
    int m_next = 0;
    bool m_closing = false;
    // Last, so it starts once the rest exists.
    std::jthread m_thread;
};

void decodeRows(jpeg_decompress_struct& info, Job& job)
{
    jpeg_start_decompress(&info);
    JSAMPROW rows[kStripRows];
    while (info.output_scanline < info.output_height) {
        if (job.listener != nullptr && job.listener->stopRequested()) {
            job.stopped = true;
            return;
        }
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION wanted = std::min<JDIMENSION>(kStripRows, info.output_height - first);
        uchar* strip = job.placer != nullptr ? job.placer->freeStrip() : job.strip;
        for (JDIMENSION r = 0; r < wanted; ++r) {
            rows[r] = job.direct && !inCornerBand(job, first + r)
                          ? reinterpret_cast<JSAMPROW>(job.placement.origin +
                                                       qsizetype(first + r) * job.placement.dy)
                          : strip + stripOffset(job, r);
        }
        // libjpeg gives a row group or so per call: the strip is filled whole.
        JDIMENSION got = 0;
        while (got < wanted) {
            const JDIMENSION more = jpeg_read_scanlines(&info, rows + got, wanted - got);
            if (more == 0) {
                break;
            }
            got += more;
        }
        if (got == 0) {
            break;
        }
        if (job.placer != nullptr) {
            job.placer->place(first, got);
        } else {
            finishStrip(job, strip, first, got);
        }
    }
}

// A broken chain of profile markers reads as no profile at all.
void readProfile(jpeg_decompress_struct& info, Job& job)
{
    if (!jpeg_read_icc_profile(&info, &job.profile, &job.profileSize)) {
        job.profile = nullptr;
        job.profileSize = 0;
    }
}

// The rows a fatal error left undecoded, filled as libjpeg fills those a
// truncated file never reaches, so both kinds of damage look the same.
void fillMissingRows(const Job& job)
{
    const Placement& p = job.placement;
    for (JDIMENSION y = job.rowsDone; y < job.height; ++y) {
        QRgb* row = p.origin + qsizetype(y) * p.dy;
        for (JDIMENSION x = 0; x < job.width; ++x) {
            row[qsizetype(x) * p.dx] = kMissingPixel;
        }
    }
}

void notifyListenerOfRegion(void* listener, QRect region)
{
    static_cast<DecodeListener*>(listener)->regionDone(region);
}

/// Where stored pixel (x, y) of a width x height picture goes once turned,
/// following QImageIOHandler: mirror and flip first, then a quarter turn clockwise.
QPoint turned(qsizetype x, qsizetype y, qsizetype width, qsizetype height,
              QImageIOHandler::Transformations transformation)
{
    const qsizetype u = transformation & QImageIOHandler::TransformationMirror ? width - 1 - x : x;
    const qsizetype v = transformation & QImageIOHandler::TransformationFlip ? height - 1 - y : y;
    if (transformation & QImageIOHandler::TransformationRotate90) {
        return QPoint(int(height - 1 - v), int(u));
    }
    return QPoint(int(u), int(v));
}

Placement placementFor(QImage& image, qsizetype width, qsizetype height,
                       QImageIOHandler::Transformations transformation)
{
    const qsizetype stride = image.bytesPerLine() / kBytesPerPixel;
    auto offset = [&](qsizetype x, qsizetype y) {
        const QPoint at = turned(x, y, width, height, transformation);
        return qsizetype(at.y()) * stride + at.x();
    };
    Placement placement;
    placement.origin = reinterpret_cast<QRgb*>(image.bits()) + offset(0, 0);
    placement.dx = offset(1, 0) - offset(0, 0);
    placement.dy = offset(0, 1) - offset(0, 0);
    return placement;
}

/// What decoding the corner beside the rest holds while it runs.
struct CornerAhead
{
    std::vector<QRgb> copy;
    std::optional<JpegCornerPass> pass;
};

/// Where the turned image's pixel (x, y) is stored: turned() undone.
QPoint stored(qsizetype x, qsizetype y, const Job& job)
{
    const bool quarterTurn = job.transformation & QImageIOHandler::TransformationRotate90;
    const qsizetype u = quarterTurn ? y : x;
    const qsizetype v = quarterTurn ? qsizetype(job.height) - 1 - x : y;
    return QPoint(int(job.transformation & QImageIOHandler::TransformationMirror
                          ? qsizetype(job.width) - 1 - u
                          : u),
                  int(job.transformation & QImageIOHandler::TransformationFlip
                          ? qsizetype(job.height) - 1 - v
                          : v));
}

/// Starts decoding the part the listener wants first from the second reader,
/// beside the whole decode, where that brings it sooner: a baseline picture
/// with no colours to convert, much wider than that part. Wherever the part
/// is stored, libjpeg-turbo decodes only its columns, and only skims the
/// rows above it.
void startCorner(const jpeg_decompress_struct& info, Job& job, const QImage& image,
                 QIODevice& ahead, DecodeListener& listener, CornerAhead& corner)
{
    const QRect wanted = listener.wantedFirst().intersected(image.rect());
    if (job.cmyk || info.progressive_mode || wanted.isEmpty()) {
        return;
    }
    const QPoint a = stored(wanted.left(), wanted.top(), job);
    const QPoint b = stored(wanted.right(), wanted.bottom(), job);
    const QRect part(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                     QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
    if (qint64(part.width() + 2 * JpegCornerPass::kMarginColumns) * 2 > qint64(job.width)) {
        return;
    }
    corner.copy.resize(std::size_t(part.width()) * std::size_t(part.height()));
    JpegCornerPass::Target target;
    target.origin = job.placement.origin;
    target.dx = job.placement.dx;
    target.dy = job.placement.dy;
    target.whole = QSize(int(job.width), int(job.height));
    target.stored = part;
    target.shown = wanted;
    try {
        corner.pass.emplace(ahead, job.maxBytes, target, listener);
    } catch (const std::system_error&) {
        return; // no thread: the whole decode does the corner too
    }
    job.cornerPass = &*corner.pass;
    job.corner = part;
    job.cornerCopy = corner.copy.data();
}

} // namespace

QImage JpegDecoder::decode(QIODevice& device, qint64 maxBytes,
                           QImageIOHandler::Transformations transformation, qint64 maxPixels,
                           DecodeListener* listener, QIODevice* ahead)
{
    jpeg_decompress_struct info{};
    JpegGuard guard;
    info.err = guard.errorManager();
    jpeg_progress_mgr progress{};
    progress.progress_monitor = limitScans;

    JpegDeviceSource source{};
    Job job;
    job.source = &source;
    job.device = &device;
    job.maxBytes = maxBytes;
    job.transformation = transformation;
    job.listener = listener;
    std::optional<ColourProfile> profile;

    QImage image;
    jpeg_create_decompress(&info);
    // Destroyed however the decode ends: memory running out past the header
    // (the strips, the corner's copy) unwinds through here, and libjpeg's own
    // memory goes with it.
    const std::unique_ptr<jpeg_decompress_struct, decltype(&jpeg_destroy_decompress)> created(
        &info, &jpeg_destroy_decompress);
    info.progress = &progress;
    if (guard.run(info, readHeader, job) && job.width > 0 && job.height > 0 &&
        qint64(job.width) * job.height <= maxPixels) {
        if (guard.run(info, readProfile, job) && job.profile != nullptr) {
            const std::unique_ptr<JOCTET, decltype(&std::free)> icc(job.profile, &std::free);
            profile = ColourProfile::fromIcc(QByteArrayView(icc.get(), job.profileSize));
        }
        const bool quarterTurn = transformation & QImageIOHandler::TransformationRotate90;
        // Its pages may be those of the photo this one replaces, taken over.
        image = mappedImage(QSize(int(quarterTurn ? job.height : job.width),
                                  int(quarterTurn ? job.width : job.height)),
                            QImage::Format_RGB32);
        if (!image.isNull()) {
            job.placement = placementFor(image, job.width, job.height, transformation);
            job.direct = !job.cmyk && job.placement.dx == 1 && job.placement.dy > 0;
            const PagePrefault prefault(image.bits(), image.sizeInBytes());
            // Converted to sRGB beside the decoding where it can be, after it otherwise.
            std::optional<StreamedConversion> streamed;
            if (profile && !profile->needsWholePicture()) {
                try {
                    streamed.emplace(*profile, image, listener);
                    job.regionDone = &StreamedConversion::regionDone;
                    job.sink = &*streamed;
                } catch (const std::system_error&) {
                    // No thread to be had: converted after the decode instead.
                }
            } else if (!profile && listener != nullptr) {
                job.regionDone = &notifyListenerOfRegion;
                job.sink = listener;
            }
            // Only a picture whose regions are told as they are decoded is
            // shown early; the others are converted whole first, in place.
            const bool streaming = job.regionDone != nullptr && listener != nullptr;
            const bool convertAfter = profile && !streamed;
            CornerAhead corner;
            if (streaming) {
                listener->started(image);
                if (ahead != nullptr && !profile) {
                    startCorner(info, job, image, *ahead, *listener, corner);
                }
            }
            // Rows that have to be moved into place are moved beside the
            // decoding where a thread can be had, on the decoding thread otherwise.
            std::optional<StripPlacer> placer;
            if (!job.direct) {
                try {
                    placer.emplace(job);
                    job.placer = &*placer;
                } catch (const std::system_error&) {
                    // Placed on this thread, from the one strip below.
                }
            }
            // Without a placer, rows that are not decoded straight into place
            // (all of a turned picture's, an upright one's across the corner)
            // go through one strip.
            std::vector<uchar> strip;
            if (job.placer == nullptr && (!job.direct || job.cornerPass != nullptr)) {
                strip.resize(stripBytes(job));
                job.strip = strip.data();
            }
            bool decoded = guard.run(info, decodeRows, job) && !job.stopped;
            if (placer) {
                placer->finish();
                job.placer = nullptr;
            }
            settleCorner(job);
            // A fatal error past the first rows keeps what was decoded, as a
            // truncated file does; one before them leaves nothing to show.
            if (!decoded && !job.stopped && job.rowsDone > 0) {
                fillMissingRows(job);
                job.rowsDone = job.height;
                decoded = true;
            }
            if (decoded) {
                tellRows(job);
            }
            if (streamed && decoded) {
                streamed->finish();
            }
            streamed.reset();
            if (!decoded) {
                image = QImage();
            } else {
                if (convertAfter) {
                    profile->convertToSrgb(image);
                }
                if (listener != nullptr && !streaming) {
                    listener->started(image);
                    listener->regionDone(image.rect());
                }
            }
        }
    }
    return image;
}

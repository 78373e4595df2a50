// Kestrova — identity photo maker.
#include "PictureLoader.h"

#include "BmpProfile.h"
#include "ColourProfile.h"
#include "JpegDecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtNumeric>
#include <QtEndian>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <optional>

namespace {

// Qt refuses images over 128 MB by default, which a 48-megapixel phone photo
// already is; this lets the largest picture allowed through, and no more.
constexpr int kAllocationLimitMb = int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1;

// The file header and as much of the info header as says how long the rows are.
constexpr qsizetype kBmpFileHeaderBytes = 14;
constexpr qsizetype kBmpHeaderBytes = 34;
// OS/2 1.x pictures have a header of 12 bytes, with 16-bit sizes and no coding.
constexpr qsizetype kOs2CoreHeaderBytes = 12;
constexpr qsizetype kOs2HeaderBytes = kBmpFileHeaderBytes + kOs2CoreHeaderBytes;
// The header sizes Qt reads in the Windows layout; any other it reads as OS/2 1.x.
constexpr std::array<quint32, 4> kWindowsHeaderBytes{40, 64, 108, 124};

// No JPEG of the largest picture allowed comes near the size of its pixels;
// whatever a file holds beyond that is not read.
constexpr qint64 kMaxJpegFileBytes = kMaxPicturePixels * 4;

const std::array<QByteArray, 3> kOpenableFormats{"bmp", "jpeg", "gif"};

// Thrown only inside the loader: every refusal leaves the same way, whatever
// step found it, and open() and the decode turn it into their empty answer.
struct Refused
{};

[[noreturn]] void refuse()
{
    throw Refused{};
}

/// What a BMP's header says about its pixel rows.
struct BmpRows
{
    quint32 compression = 0;
    qint64 dataOffset = 0;
    qint64 width = 0;
    qint64 height = 0;
    qint64 bitsPerPixel = 0;
};

// The two header layouts put the same facts in different places; reading the
// longer one out of the shorter reads pixels as the depth and the coding.
std::optional<BmpRows> bmpRows(const QByteArray& header)
{
    if (header.size() < kBmpFileHeaderBytes + 4) {
        return std::nullopt;
    }
    const char* bytes = header.constData();
    BmpRows rows;
    rows.dataOffset = qFromLittleEndian<quint32>(bytes + 10);
    const quint32 headerBytes = qFromLittleEndian<quint32>(bytes + 14);
    if (std::find(kWindowsHeaderBytes.begin(), kWindowsHeaderBytes.end(), headerBytes) ==
        kWindowsHeaderBytes.end()) {
        if (header.size() < kOs2HeaderBytes) {
            return std::nullopt;
        }
        // Signed, as Qt reads them: a negative height is rows stored top-down.
        rows.width = qAbs(qint64(qFromLittleEndian<qint16>(bytes + 18)));
        rows.height = qAbs(qint64(qFromLittleEndian<qint16>(bytes + 20)));
        rows.bitsPerPixel = qFromLittleEndian<quint16>(bytes + 24);
        return rows;
    }
    if (header.size() < kBmpHeaderBytes) {
        return std::nullopt;
    }
    // Widened first: negating -2^31 as a 32-bit value is undefined.
    rows.width = qAbs(qint64(qFromLittleEndian<qint32>(bytes + 18)));
    rows.height = qAbs(qint64(qFromLittleEndian<qint32>(bytes + 22)));
    rows.bitsPerPixel = qFromLittleEndian<quint16>(bytes + 28);
    rows.compression = qFromLittleEndian<quint32>(bytes + 30);
    return rows;
}

// Qt leaves the rows missing from a cut-off BMP as whatever the memory held,
// so a file too short for its uncompressed rows is refused instead.
bool bmpRowsComplete(const QByteArray& header, qint64 fileSize)
{
    constexpr quint32 kUncompressed = 0;
    constexpr quint32 kBitFields = 3;
    const std::optional<BmpRows> rows = bmpRows(header);
    if (!rows) {
        return false;
    }
    if (rows->compression != kUncompressed && rows->compression != kBitFields) {
        return true;
    }
    const qint64 rowBytes = (rows->width * rows->bitsPerPixel + 31) / 32 * 4;
    // A header can claim rows whose total overflows any integer: no file holds them.
    qint64 needed = 0;
    if (qMulOverflow(rowBytes, rows->height, &needed) ||
        qAddOverflow(needed, rows->dataOffset, &needed)) {
        return false;
    }
    return fileSize >= needed;
}

// Whether the BMP is run-length coded, which only 4- and 8-bit palette pictures are.
bool bmpRunLength(const QByteArray& header)
{
    constexpr quint32 kRle8 = 1;
    constexpr quint32 kRle4 = 2;
    const std::optional<BmpRows> rows = bmpRows(header);
    return rows && (rows->compression == kRle8 || rows->compression == kRle4);
}

/// What the header check found, kept for the decode that follows it.
struct AcceptedFile
{
    QFile file;
    QImageReader reader;
    QByteArray format;
    QByteArray start;
    QSize size;

    explicit AcceptedFile(const QString& path) : file(path) {}
};

std::shared_ptr<AcceptedFile> accept(const QString& path)
{
    QImageReader::setAllocationLimit(kAllocationLimitMb);
    if (!QFileInfo(path).isFile()) {
        refuse();
    }
    auto accepted = std::make_shared<AcceptedFile>(path);
    QFile& file = accepted->file;
    if (!file.open(QIODevice::ReadOnly)) {
        refuse();
    }
    accepted->start = file.peek(kBmpHeaderBytes);
    // A reader on the device, not on the name, can only go by the content.
    QImageReader& reader = accepted->reader;
    reader.setDevice(&file);
    accepted->format = reader.format();
    const QByteArray& format = accepted->format;
    if (std::find(kOpenableFormats.begin(), kOpenableFormats.end(), format) ==
        kOpenableFormats.end()) {
        refuse();
    }
    // Qt reports a top-down BMP with a negative height.
    accepted->size = reader.size();
    const QSize size = accepted->size;
    const qint64 pixels = qAbs(qint64(size.width()) * size.height());
    if (size.width() <= 0 || pixels == 0 || pixels > kMaxPicturePixels ||
        (format == "bmp" && !bmpRowsComplete(accepted->start, file.size()))) {
        refuse();
    }
    return accepted;
}

/// Opens second on the file first reads, for a decode beside first's; false
/// when the name now leads elsewhere, as after the file was replaced.
bool openSameFile(QFile& second, const QFile& first)
{
    second.setFileName(first.fileName());
    if (!second.open(QIODevice::ReadOnly)) {
        return false;
    }
    struct stat a = {};
    struct stat b = {};
    if (fstat(first.handle(), &a) != 0 || fstat(second.handle(), &b) != 0 || a.st_dev != b.st_dev ||
        a.st_ino != b.st_ino) {
        second.close();
        return false;
    }
    return true;
}

QImage decode(AcceptedFile& accepted, DecodeListener* listener)
{
    QFile& file = accepted.file;
    QImageReader& reader = accepted.reader;
    const QByteArray& format = accepted.format;
    QImage image;
    if (format == "jpeg") {
        // Qt's reader has already parsed the header and its orientation; the
        // pixels are decoded by libjpeg-turbo straight into place, which is
        // both faster and never holds a second, unturned copy. The file is
        // read, not mapped: a mapped file that shrinks while it is decoded
        // kills the program with SIGBUS, and some mounts cannot be mapped.
        const QImageIOHandler::Transformations transformation = reader.transformation();
        if (!file.seek(0)) {
            refuse();
        }
        // Watched, the part in view may come from a second reader sooner.
        QFile ahead;
        const bool twoReaders = listener != nullptr && openSameFile(ahead, file);
        image = JpegDecoder::decode(file, kMaxJpegFileBytes, transformation, kMaxPicturePixels,
                                    listener, twoReaders ? &ahead : nullptr);
    } else {
        reader.setAutoTransform(true);
        // Qt leaves the pixels a run-length BMP jumps over or never reaches as
        // whatever the memory held. Given a cleared picture of the size and
        // format it reads into, it fills that in place, and those pixels show
        // the first palette colour.
        if (format == "bmp" && bmpRunLength(accepted.start)) {
            image = QImage(accepted.size.width(), int(qAbs(qint64(accepted.size.height()))),
                           QImage::Format_Indexed8);
            image.fill(0);
        }
        if (!reader.read(&image)) {
            image = QImage();
        }
        if (format == "bmp") {
            convertToSrgb(image, embeddedBmpProfile(file));
        }
    }
    if (image.isNull()) {
        refuse();
    }
    return image;
}

} // namespace

std::optional<PendingPicture> QtPictureLoader::open(const QString& path)
{
    std::shared_ptr<AcceptedFile> accepted;
    try {
        accepted = accept(path);
    } catch (const Refused&) {
        return std::nullopt;
    }
    const bool showsWhatItDecodes = accepted->format == "jpeg";
    // A JPEG is decoded straight into a mapped picture of its upright size.
    QSize mappedSize;
    if (accepted->format == "jpeg") {
        mappedSize = accepted->reader.transformation() & QImageIOHandler::TransformationRotate90
                         ? accepted->size.transposed()
                         : accepted->size;
    }
    return PendingPicture(
        [accepted](DecodeListener* listener) -> std::optional<QImage> {
            try {
                return decode(*accepted, listener);
            } catch (const Refused&) {
                return std::nullopt;
            } catch (const std::bad_alloc&) {
                // On the decoding thread, where nothing else would catch it.
                return std::nullopt;
            }
        },
        showsWhatItDecodes, mappedSize);
}

// Kestrova — identity photo maker.
#include "BmpProfile.h"

#include "ColourProfile.h"

#include <QIODevice>
#include <QtEndian>

#include <array>

namespace {

constexpr qint64 kFileHeaderBytes = 14;
constexpr quint32 kV5HeaderBytes = 124;
// Fields of the version 5 header, from its start.
constexpr qsizetype kColourSpaceField = 56;
constexpr qsizetype kProfileOffsetField = 112;
constexpr qsizetype kProfileSizeField = 116;
// 'MBED': the profile is in the file, at an offset from the header's start.
constexpr quint32 kProfileEmbedded = 0x4D424544;

using Headers = std::array<char, kFileHeaderBytes + kV5HeaderBytes>;

quint32 field(const Headers& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

} // namespace

QByteArray embeddedBmpProfile(QIODevice& file)
{
    if (!file.seek(0)) {
        return {};
    }
    // A plain array: the compiler cannot see that a short QByteArray never
    // reaches the reads below, and warns of reading past its shared empty one.
    Headers headers{};
    if (file.read(headers.data(), qint64(headers.size())) != qint64(headers.size()) ||
        field(headers, kFileHeaderBytes) < kV5HeaderBytes ||
        field(headers, kFileHeaderBytes + kColourSpaceField) != kProfileEmbedded) {
        return {};
    }
    // Widened before adding, so no sum of 32-bit fields can wrap around.
    const qint64 start =
        kFileHeaderBytes + qint64(field(headers, kFileHeaderBytes + kProfileOffsetField));
    const qint64 size = field(headers, kFileHeaderBytes + kProfileSizeField);
    if (size == 0 || size > ColourProfile::kMaxProfileBytes || start + size > file.size() ||
        !file.seek(start)) {
        return {};
    }
    QByteArray profile = file.read(size);
    return profile.size() == size ? profile : QByteArray();
}

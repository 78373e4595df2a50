// Kestrova — identity photo maker.
#include "ProfiledPictures.h"

#include "TestPictures.h"

#include <lcms2.h>

namespace ProfiledPictures {

using TestPictures::appendLe16;
using TestPictures::appendLe32;

namespace {

QByteArray saved(cmsHPROFILE profile)
{
    QByteArray bytes;
    cmsUInt32Number size = 0;
    if (profile != nullptr && cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(qsizetype(size));
        cmsSaveProfileToMem(profile, bytes.data(), &size);
    }
    cmsCloseProfile(profile);
    return bytes;
}

QByteArray rgbProfile(const Primaries& p, cmsToneCurve* curve)
{
    const cmsCIExyY white{p.white[0], p.white[1], 1.0};
    const cmsCIExyYTRIPLE primaries{
        {p.red[0], p.red[1], 1.0}, {p.green[0], p.green[1], 1.0}, {p.blue[0], p.blue[1], 1.0}};
    cmsToneCurve* const curves[3] = {curve, curve, curve};
    const QByteArray bytes = saved(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(curve);
    return bytes;
}

} // namespace

QByteArray displayP3Profile()
{
    // IEC 61966-2-1's curve as ICC parametric type 4.
    const cmsFloat64Number srgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    return rgbProfile(kDisplayP3, cmsBuildParametricToneCurve(nullptr, 4, srgbCurve));
}

QByteArray adobeRgbProfile()
{
    return rgbProfile(kAdobeRgb, cmsBuildGamma(nullptr, kAdobeGamma));
}

QByteArray greyProfile(double gamma)
{
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    const QByteArray bytes = saved(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    return bytes;
}

QByteArray labProfile()
{
    return saved(cmsCreateLab4Profile(nullptr));
}

QByteArray withIccProfile(const QByteArray& jpeg, const QByteArray& icc, int chunkBytes,
                          int dropChunk)
{
    const int chunks = int((icc.size() + chunkBytes - 1) / chunkBytes);
    QByteArray markers;
    for (int chunk = 0; chunk < chunks; ++chunk) {
        if (chunk + 1 == dropChunk) {
            continue;
        }
        const QByteArray part = icc.mid(qsizetype(chunk) * chunkBytes, chunkBytes);
        const QByteArray payload =
            QByteArray("ICC_PROFILE", 12) + char(chunk + 1) + char(chunks) + part;
        const int length = int(payload.size()) + 2;
        markers += QByteArray("\xff\xe2", 2) + char(length >> 8) + char(length & 0xff) + payload;
    }
    // Right after SOI, as cameras write it.
    return jpeg.left(2) + markers + jpeg.mid(2);
}

QByteArray bmpV5File(const QImage& image, quint32 csType, const QByteArray& data,
                     qint64 profileOffsetShift)
{
    constexpr int kHeaderBytes = 124;
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const qint64 dataOffset = 14 + kHeaderBytes;
    const qint64 pixelBytes = qint64(rowBytes) * height;
    const qint64 fileSize = dataOffset + pixelBytes + data.size();

    QByteArray out;
    out.append("BM");
    appendLe32(out, fileSize);
    appendLe32(out, 0);
    appendLe32(out, dataOffset);
    appendLe32(out, kHeaderBytes);
    appendLe32(out, width);
    appendLe32(out, height);
    appendLe16(out, 1);
    appendLe16(out, 24);
    appendLe32(out, 0); // BI_RGB
    appendLe32(out, pixelBytes);
    appendLe32(out, 2835);
    appendLe32(out, 2835);
    appendLe32(out, 0);
    appendLe32(out, 0);
    for (int mask = 0; mask < 4; ++mask) {
        appendLe32(out, 0);
    }
    appendLe32(out, csType);
    out.append(QByteArray(36 + 12, '\0')); // endpoints and gammas, unused
    appendLe32(out, 4);                    // LCS_GM_IMAGES
    // The profile's place counts from the start of this header.
    appendLe32(out, kHeaderBytes + pixelBytes + profileOffsetShift);
    appendLe32(out, data.size());
    appendLe32(out, 0);
    return out + TestPictures::bottomUpBgrRows(image) + data;
}

} // namespace ProfiledPictures

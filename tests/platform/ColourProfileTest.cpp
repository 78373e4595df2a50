// Kestrova — identity photo maker.
#include "platform/ColourProfile.h"

#include "ProfiledPictures.h"
#include "TestPictures.h"
#include "platform/PictureLoader.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>

using namespace ProfiledPictures;

namespace {

/// How a picture's stored values are to be read: as they are, or in one of
/// the spaces the tests embed profiles of.
enum class Space
{
    AsStored,
    DisplayP3,
    AdobeRgb,
    Grey18
};

constexpr double kGreyGamma = 1.8;
// Allowed difference from the reference, per channel.
constexpr int kTolerance = 2;

using Matrix = std::array<std::array<double, 3>, 3>;

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix m{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            for (int k = 0; k < 3; ++k) {
                m[i][j] += a[i][k] * b[k][j];
            }
        }
    }
    return m;
}

Matrix inverse(const Matrix& m)
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            // Cofactor of (j, i), divided by the determinant.
            const int r0 = (j + 1) % 3;
            const int r1 = (j + 2) % 3;
            const int c0 = (i + 1) % 3;
            const int c1 = (i + 2) % 3;
            r[i][j] = (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / det;
        }
    }
    return r;
}

/// Linear RGB to XYZ for the primaries, white mapping to Y = 1.
Matrix rgbToXyz(const Primaries& p)
{
    auto column = [](const double xy[2]) {
        return std::array<double, 3>{xy[0] / xy[1], 1.0, (1.0 - xy[0] - xy[1]) / xy[1]};
    };
    const std::array<std::array<double, 3>, 3> columns{column(p.red), column(p.green),
                                                       column(p.blue)};
    Matrix primaries{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            primaries[i][j] = columns[j][i];
        }
    }
    const std::array<double, 3> white = column(p.white);
    const Matrix toWhite = inverse(primaries);
    Matrix scaled{};
    for (int j = 0; j < 3; ++j) {
        const double s =
            toWhite[j][0] * white[0] + toWhite[j][1] * white[1] + toWhite[j][2] * white[2];
        for (int i = 0; i < 3; ++i) {
            scaled[i][j] = primaries[i][j] * s;
        }
    }
    return scaled;
}

double srgbToLinear(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

int linearToSrgb(double light)
{
    light = std::clamp(light, 0.0, 1.0);
    const double v =
        light <= 0.0031308 ? 12.92 * light : 1.055 * std::pow(light, 1.0 / 2.4) - 0.055;
    return int(std::lround(v * 255.0));
}

/// The sRGB colours of a picture whose values are in space, worked out from
/// the spaces' published primaries and curves, not by any colour engine.
QImage reference(const QImage& stored, Space space)
{
    QImage image = stored.convertToFormat(QImage::Format_RGB32);
    if (space == Space::AsStored) {
        return image;
    }
    std::array<double, 256> decoded{};
    for (int v = 0; v < 256; ++v) {
        const double x = v / 255.0;
        decoded[v] = space == Space::AdobeRgb ? std::pow(x, kAdobeGamma)
                     : space == Space::Grey18 ? std::pow(x, kGreyGamma)
                                              : srgbToLinear(x);
    }
    const Matrix toSrgb =
        space == Space::Grey18
            ? Matrix{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}
            : multiply(inverse(rgbToXyz(kSrgb)),
                       rgbToXyz(space == Space::DisplayP3 ? kDisplayP3 : kAdobeRgb));
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const std::array<double, 3> light{decoded[qRed(row[x])], decoded[qGreen(row[x])],
                                              decoded[qBlue(row[x])]};
            std::array<int, 3> out{};
            for (int i = 0; i < 3; ++i) {
                out[i] = linearToSrgb(toSrgb[i][0] * light[0] + toSrgb[i][1] * light[1] +
                                      toSrgb[i][2] * light[2]);
            }
            row[x] = qRgb(out[0], out[1], out[2]);
        }
    }
    return image;
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

/// The largest difference of any channel of any pixel, and where it is.
std::pair<int, QPoint> maxDistance(const QImage& a, const QImage& b)
{
    std::pair<int, QPoint> worst{0, QPoint()};
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const int d = channelDistance(a.pixel(x, y), b.pixel(x, y));
            if (d > worst.first) {
                worst = {d, QPoint(x, y)};
            }
        }
    }
    return worst;
}

/// A photo with patches of saturated and nearly saturated colours on top.
QImage colourful(QSize size)
{
    QImage image = TestPictures::photoLike(size).convertToFormat(QImage::Format_RGB32);
    const std::array<QRgb, 10> patches{qRgb(255, 0, 0),    qRgb(0, 255, 0),    qRgb(0, 0, 255),
                                       qRgb(255, 255, 0),  qRgb(0, 255, 255),  qRgb(255, 0, 255),
                                       qRgb(234, 51, 35),  qRgb(144, 255, 60), qRgb(0, 0, 0),
                                       qRgb(255, 255, 255)};
    QPainter painter(&image);
    const int side = std::max(2, size.width() / int(patches.size()));
    for (std::size_t i = 0; i < patches.size(); ++i) {
        painter.fillRect(int(i) * side, 0, side, std::max(2, size.height() / 3),
                         QColor(patches[i]));
    }
    return image;
}

QImage grey(QSize size)
{
    return TestPictures::photoLike(size).convertToFormat(QImage::Format_Grayscale8);
}

QByteArray jpeg(const QImage& image)
{
    return TestPictures::jpegFile(image, 95);
}

/// The profile with its bytes from..to set to 0xff.
QByteArray garbled(QByteArray icc, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < std::min(to, icc.size()); ++i) {
        icc[i] = char(0xff);
    }
    return icc;
}

/// The profile with its header claiming it is longer than it is.
QByteArray overlong(QByteArray icc)
{
    const quint32 claimed = quint32(icc.size()) + 4096;
    for (int i = 0; i < 4; ++i) {
        icc[i] = char(claimed >> (24 - 8 * i));
    }
    return icc;
}

} // namespace

Q_DECLARE_METATYPE(Space)

class ColourProfileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void profiledPictureOpensInSrgb_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Space>("space");
        const QSize odd(37, 29);
        const QImage photo = colourful(odd);
        const QByteArray p3 = displayP3Profile();
        QTest::newRow("JPEG, Display P3") << withIccProfile(jpeg(photo), p3) << Space::DisplayP3;
        QTest::newRow("JPEG, Adobe RGB")
            << withIccProfile(jpeg(photo), adobeRgbProfile()) << Space::AdobeRgb;
        QTest::newRow("grey JPEG, grey curve")
            << withIccProfile(jpeg(grey(odd)), greyProfile(kGreyGamma)) << Space::Grey18;
        QTest::newRow("JPEG, profile over many markers")
            << withIccProfile(jpeg(photo), p3, 97) << Space::DisplayP3;
        // Large enough to be converted in bands on several threads.
        QTest::newRow("JPEG, Display P3, 2 megapixels")
            << withIccProfile(jpeg(colourful(QSize(1601, 1301))), p3) << Space::DisplayP3;
        // Every EXIF orientation: the picture is converted wherever its rows land.
        for (int orientation = 2; orientation <= 8; ++orientation) {
            QTest::addRow("JPEG, Display P3, orientation %d", orientation)
                << withIccProfile(TestPictures::withExifOrientation(jpeg(photo), orientation), p3)
                << Space::DisplayP3;
        }
        QTest::newRow("BMP, embedded Display P3")
            << bmpV5File(photo, kEmbedded, p3) << Space::DisplayP3;
        QTest::newRow("BMP, embedded Adobe RGB")
            << bmpV5File(photo, kEmbedded, adobeRgbProfile()) << Space::AdobeRgb;
    }
    void profiledPictureOpensInSrgb()
    {
        QFETCH(QByteArray, file);
        QFETCH(Space, space);
        const QString path = TestPictures::writeFile(QDir(m_dir.path()), QStringLiteral("p"), file);
        // Qt's reader leaves the stored values as they are.
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage expected = reference(reader.read(), space);
        QtPictureLoader loader;
        const QImage loaded = loader.load(path).value_or(QImage());
        QCOMPARE(loaded.size(), expected.size());
        const auto [distance, where] = maxDistance(loaded, expected);
        QVERIFY2(distance <= kTolerance,
                 qPrintable(QStringLiteral("%1 levels off at (%2, %3): %4 against %5")
                                .arg(distance)
                                .arg(where.x())
                                .arg(where.y())
                                .arg(loaded.pixel(where), 8, 16)
                                .arg(expected.pixel(where), 8, 16)));
    }

    /// The colours phones and cameras store for pure sRGB red and green.
    void storedColourShowsAsMeant_data()
    {
        QTest::addColumn<QByteArray>("icc");
        QTest::addColumn<QRgb>("stored");
        QTest::addColumn<QRgb>("shown");
        QTest::newRow("Display P3 red")
            << displayP3Profile() << qRgb(234, 51, 35) << qRgb(255, 0, 0);
        QTest::newRow("Adobe RGB green")
            << adobeRgbProfile() << qRgb(144, 255, 60) << qRgb(0, 255, 1);
        QTest::newRow("grey middle")
            << greyProfile(kGreyGamma) << qRgb(128, 128, 128) << qRgb(146, 146, 146);
    }
    void storedColourShowsAsMeant()
    {
        QFETCH(QByteArray, icc);
        QFETCH(QRgb, stored);
        QFETCH(QRgb, shown);
        // BMP keeps the stored values exactly, where a JPEG would shift them.
        QImage flat(9, 3, QImage::Format_RGB32);
        flat.fill(stored);
        const QString path = TestPictures::writeFile(QDir(m_dir.path()), QStringLiteral("flat"),
                                                     bmpV5File(flat, kEmbedded, icc));
        QtPictureLoader loader;
        const QImage loaded = loader.load(path).value_or(QImage());
        QVERIFY2(channelDistance(loaded.pixel(4, 1), shown) <= kTolerance,
                 qPrintable(QString::number(loaded.pixel(4, 1), 16)));
    }

    void pictureWithoutUsableProfileOpensAsStored_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QImage photo = colourful(QSize(37, 29));
        const QByteArray p3 = displayP3Profile();
        const QByteArray plain = jpeg(photo);
        QTest::newRow("JPEG, no profile") << plain;
        QTest::newRow("JPEG, truncated profile") << withIccProfile(plain, p3.left(100));
        QTest::newRow("JPEG, garbled tag table") << withIccProfile(plain, garbled(p3, 128, 400));
        QTest::newRow("JPEG, profile longer than its bytes") << withIccProfile(plain, overlong(p3));
        QTest::newRow("JPEG, text instead of a profile")
            << withIccProfile(plain, QByteArray(300, 'x'));
        QTest::newRow("JPEG, Lab profile") << withIccProfile(plain, labProfile());
        QTest::newRow("JPEG, marker missing from the chain") << withIccProfile(plain, p3, 97, 2);
        QTest::newRow("colour JPEG, grey profile")
            << withIccProfile(plain, greyProfile(kGreyGamma));
        QTest::newRow("BMP, version 5, sRGB") << bmpV5File(photo, 0x73524742, QByteArray());
        QTest::newRow("BMP, linked profile") << bmpV5File(
            photo, kLinked, QFile::encodeName(m_dir.filePath(QStringLiteral("p3.icc"))));
        QTest::newRow("BMP, profile beyond the end") << bmpV5File(photo, kEmbedded, p3, 64);
        QTest::newRow("BMP, corrupt profile") << bmpV5File(photo, kEmbedded, p3.left(100));
    }
    void pictureWithoutUsableProfileOpensAsStored()
    {
        QFETCH(QByteArray, file);
        // A linked profile that exists: it must still not be read.
        TestPictures::writeFile(QDir(m_dir.path()), QStringLiteral("p3.icc"), displayP3Profile());
        const QString path = TestPictures::writeFile(QDir(m_dir.path()), QStringLiteral("q"), file);
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage stored = reader.read().convertToFormat(QImage::Format_RGB32);
        QtPictureLoader loader;
        const QImage loaded = loader.load(path).value_or(QImage());
        QCOMPARE(loaded.size(), stored.size());
        QCOMPARE(maxDistance(loaded, stored).first, 0);
    }

    void profileOfOtherPicturesIsRefused_data()
    {
        QTest::addColumn<QByteArray>("icc");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("Lab") << labProfile();
        QTest::newRow("too large") << QByteArray(ColourProfile::kMaxProfileBytes + 1, '\0');
    }
    void profileOfOtherPicturesIsRefused()
    {
        QFETCH(QByteArray, icc);
        QVERIFY(!ColourProfile::fromIcc(icc));
    }

    void paletteAndAlphaPicturesConvertTheirColours()
    {
        const std::optional<ColourProfile> profile = ColourProfile::fromIcc(displayP3Profile());
        QVERIFY(profile);
        QImage palette(4, 4, QImage::Format_Indexed8);
        palette.setColorTable({qRgb(234, 51, 35), qRgb(0, 0, 0)});
        palette.fill(0);
        QVERIFY(profile->convertToSrgb(palette));
        QVERIFY(channelDistance(palette.color(0), qRgb(255, 0, 0)) <= kTolerance);
        QCOMPARE(palette.color(1), qRgb(0, 0, 0));

        QImage alpha(11, 3, QImage::Format_ARGB32);
        alpha.fill(qRgba(234, 51, 35, 77));
        QVERIFY(profile->convertToSrgb(alpha));
        QCOMPARE(qAlpha(alpha.pixel(10, 2)), 77);
        QVERIFY(channelDistance(alpha.pixel(10, 2), qRgb(255, 0, 0)) <= kTolerance);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(ColourProfileTest)
#include "ColourProfileTest.moc"

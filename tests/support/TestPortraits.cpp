// Kestrova — identity photo maker.
#include "TestPortraits.h"

#include "TestPictures.h"

#include <QFileInfo>
#include <QPainter>
#include <QTransform>

namespace TestPortraits {

namespace {

const QString kDlibFaces = QStringLiteral("/usr/share/doc/libdlib19.1/examples/faces/");
const QString kDlibPackage = QStringLiteral("libdlib19.1");

Portrait collageTile(const QString& name, QRect face)
{
    // The face's box as dlib's detector draws it, with a margin that shows the head and
    // shoulders but stays within the tile.
    const int margin = face.width() * 2 / 5;
    return Portrait{name, kDlibFaces + QStringLiteral("bald_guys.jpg"), kDlibPackage,
                    face.adjusted(-margin, -margin, margin, margin)};
}

} // namespace

const QList<Portrait>& all()
{
    static const QList<Portrait> portraits{
        Portrait{QStringLiteral("Tom Cruise"),
                 kDlibFaces + QStringLiteral("Tom_Cruise_avp_2014_4.jpg"), kDlibPackage, QRect()},
        Portrait{QStringLiteral("Grace Hopper"),
                 QStringLiteral("/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg"),
                 QStringLiteral("python-matplotlib-data"), QRect()},
        collageTile(QStringLiteral("Dwayne Johnson, smiling"), QRect(1419, 99, 321, 321)),
        collageTile(QStringLiteral("Dwayne Johnson, young"), QRect(1458, 1344, 129, 129)),
        collageTile(QStringLiteral("Vin Diesel, grey backdrop"), QRect(57, 78, 186, 186)),
        collageTile(QStringLiteral("Vin Diesel, white backdrop"), QRect(65, 391, 155, 155)),
        collageTile(QStringLiteral("Bruce Willis, smiling"), QRect(1048, 759, 186, 186)),
        collageTile(QStringLiteral("Bruce Willis, white backdrop"), QRect(787, 821, 155, 155)),
        collageTile(QStringLiteral("Jason Statham, height chart"), QRect(862, 408, 186, 186)),
        collageTile(QStringLiteral("Jason Statham, stubble"), QRect(65, 701, 155, 155)),
    };
    return portraits;
}

Portrait dogs()
{
    return Portrait{QStringLiteral("dogs"), kDlibFaces + QStringLiteral("dogs.jpg"), kDlibPackage,
                    QRect()};
}

QImage load(const Portrait& portrait)
{
    if (!QFileInfo(portrait.path).isFile()) {
        return QImage();
    }
    QImage image(portrait.path);
    if (!portrait.crop.isNull()) {
        image = image.copy(portrait.crop);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage placedIn(QSize size, const QImage& image, double scale, QPointF topLeft)
{
    QImage picture = TestPictures::photoLike(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(topLeft, QSizeF(image.size()) * scale), image);
    return picture;
}

QByteArray storedWithOrientation(const QImage& upright, int orientation)
{
    // Qt turns clockwise for positive angles, y pointing down; the stored picture is turned
    // the other way from what its orientation undoes.
    int angle = 0;
    switch (orientation) {
    case 3:
        angle = 180;
        break;
    case 6:
        angle = -90;
        break;
    case 8:
        angle = 90;
        break;
    default:
        break;
    }
    const QImage stored = angle == 0 ? upright : upright.transformed(QTransform().rotate(angle));
    return TestPictures::withExifOrientation(TestPictures::jpegFile(stored, 92), orientation);
}

} // namespace TestPortraits

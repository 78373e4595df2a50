// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

/// Real frontal portraits from files that Debian packages install, read where they are
/// installed and never copied into this repository. Each package is installed by
/// scripts/install-deps.sh --test.
///
/// - libdlib19.1 (dlib's library package, a dependency of libdlib-dev) ships dlib's example
///   pictures in /usr/share/doc/libdlib19.1/examples/faces/; Debian's copyright file places
///   the examples in the public domain (Creative Commons). The portraits are
///   Tom_Cruise_avp_2014_4.jpg and tiles of the collage bald_guys.jpg; dogs.jpg has no human
///   face at all.
/// - python-matplotlib-data ships grace_hopper.jpg, a U.S. Navy photograph in the public
///   domain, in /usr/share/matplotlib/mpl-data/sample_data/.
namespace TestPortraits {

struct Portrait
{
    /// Who, for test rows.
    QString name;
    QString path;
    /// The Debian package that installs path.
    QString package;
    /// The part of the file that is the portrait; null for the whole picture.
    QRect crop;
};

/// Ten portraits of six people: different photographs, lighting, backgrounds and sizes.
[[nodiscard]] const QList<Portrait>& all();
/// dlib's picture of four dogs, and no person.
[[nodiscard]] Portrait dogs();
/// The portrait's pixels as Format_RGB32, or a null image when its file is not installed.
[[nodiscard]] QImage load(const Portrait& portrait);

/// A photo-like picture of the size with the image drawn into it, scaled by scale with its
/// top-left corner at topLeft: the kind of picture a phone takes of a person.
[[nodiscard]] QImage placedIn(QSize size, const QImage& image, double scale, QPointF topLeft);
/// The picture as a JPEG file stored turned, with the EXIF orientation (1, 3, 6 or 8) that
/// turns it upright again.
[[nodiscard]] QByteArray storedWithOrientation(const QImage& upright, int orientation);

} // namespace TestPortraits

// Kestrova — identity photo maker.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QSize>
#include <QString>

class QDir;

/// Files a user might hand the open dialog: broken, hostile, misnamed, and a
/// few good ones among them. All made here from a few small pictures, so the
/// same corpus is rebuilt on every run.
namespace BadPictures {

/// What opening an entry must come to.
enum class Outcome
{
    /// Refused: the window keeps the picture it had.
    Refused,
    /// Opens, at the entry's size.
    Opens,
    /// A sound JPEG header over data that fails before the first row: the
    /// previous picture was let go once the header was accepted, and none is shown.
    Undecodable,
    /// Damage a decoder may refuse, fail to decode or show what it could read
    /// of; all are sound, provided it ends quietly and a picture it keeps has a
    /// real size.
    Either,
};

struct Entry
{
    /// Unique within the corpus; also the file's name.
    QString name;
    QByteArray bytes;
    Outcome outcome = Outcome::Refused;
    /// The picture's size, for Outcome::Opens.
    QSize size;
    /// A directory of that name instead of a file.
    bool directory = false;
};

/// The whole corpus, the same every time.
[[nodiscard]] QList<Entry> corpus();

/// A run-length BMP (RLE8, or RLE4 when fourBit) claiming a size, around the given codes;
/// its palette colours all differ, so a pixel shows which index it holds.
[[nodiscard]] QByteArray runLengthBmp(QSize claimed, bool fourBit, const QByteArray& codes);
/// The colour at an index of runLengthBmp's palette.
[[nodiscard]] QRgb runLengthColour(int index);

/// Creates the entry's file (or directory) in dir; returns its full path.
QString create(const QDir& dir, const Entry& entry);

} // namespace BadPictures

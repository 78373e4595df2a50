// Kestrova — identity photo maker.
#pragma once

#include <QByteArrayView>

/// A file being written that takes the place of any earlier file of its name
/// only once committed; destroyed before that, it leaves nothing behind.
class OutputFile
{
public:
    virtual ~OutputFile() = default;
    /// Creates the file, not yet under its name.
    [[nodiscard]] virtual bool open() = 0;
    /// Writes the bytes, or as many as it can; how many, or -1.
    [[nodiscard]] virtual qint64 write(QByteArrayView bytes) = 0;
    /// Puts everything written so far onto the disk.
    [[nodiscard]] virtual bool flush() = 0;
    /// Puts the file under its name.
    [[nodiscard]] virtual bool commit() = 0;
};

/// Writes all of the bytes and commits them, checking every step; false leaves
/// any earlier file of the name as it was.
[[nodiscard]] bool writeWhole(OutputFile& file, QByteArrayView bytes);

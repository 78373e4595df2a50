// Kestrova — identity photo maker.
#pragma once

#include "OutputFile.h"

#include <QSaveFile>
#include <QString>

/// Writes into a temporary file beside the target, unbuffered so that every
/// failed write shows at once, and renames it over the target when committed.
class AtomicOutputFile final : public OutputFile
{
public:
    explicit AtomicOutputFile(const QString& path);

    [[nodiscard]] bool open() override;
    [[nodiscard]] qint64 write(QByteArrayView bytes) override;
    [[nodiscard]] bool flush() override;
    [[nodiscard]] bool commit() override;

private:
    QSaveFile m_file;
};

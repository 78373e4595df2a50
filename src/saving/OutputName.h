// Kestrova — identity photo maker.
#pragma once

#include <QString>

class QDateTime;

/// The saved picture's file name for a moment: MM-DD-YYYY_HHMMSS.jpg.
[[nodiscard]] QString outputFileName(const QDateTime& moment);

/// The saved picture's full path in a folder for a moment.
[[nodiscard]] QString outputPath(const QString& folder, const QDateTime& moment);

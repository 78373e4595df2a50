// Kestrova — identity photo maker.
#pragma once

#include <QDateTime>
#include <QString>

/// The banner's message: the program's folder and the current date and time
/// as a file name, from one reading of the clock.
[[nodiscard]] QString bannerMessage(const QString& programDir, const QDateTime& now);

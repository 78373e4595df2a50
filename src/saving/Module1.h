// Kestrova — identity photo maker.
#pragma once

#include "SaveStatus.h"

class OutputFile;
class QImage;
class QString;

namespace Module1 {

/// The error number of a failed save.
inline constexpr int kSaveErrorNumber = 5;

/// Writes a picture to a JPEG file at a quality on libjpeg's 0-100 scale, replacing any
/// file of that name whole; raises AppError(kSaveErrorNumber) and leaves the folder as
/// it was when it cannot.
void saveJpeg(const QImage& picture, const QString& path, int quality);

/// Writes a picture as JPEG into the file as saveJpeg does, failing as it fails.
void saveJpeg(const QImage& picture, OutputFile& file, int quality);

/// The description a failed save reports for a status.
[[nodiscard]] QString saveErrorText(int status);

} // namespace Module1

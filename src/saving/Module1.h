// Kestrova — identity photo maker.
#pragma once

#include "SaveStatus.h"
#include "platform/AppError.h"

#include <optional>

class OutputFile;
class QImage;
class QString;

namespace Module1 {

/// The error number of a failed save.
inline constexpr int kSaveErrorNumber = 5;

/// Writes a picture to a JPEG file at a quality on libjpeg's 0-100 scale, replacing any
/// file of that name whole. When it cannot, it leaves the folder as it was and returns
/// the error to report (number kSaveErrorNumber).
[[nodiscard]] std::optional<AppError> saveJpeg(const QImage& picture, const QString& path,
                                               int quality);

/// Writes a picture as JPEG into the file as saveJpeg does, failing as it fails.
[[nodiscard]] std::optional<AppError> saveJpeg(const QImage& picture, OutputFile& file,
                                               int quality);

/// The description a failed save reports for a status.
[[nodiscard]] QString saveErrorText(int status);

} // namespace Module1

// Kestrova — identity photo maker.
#include "Captions.h"

#include "AppError.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// "File not found", as a missing resource is reported.
constexpr int kMissingCaptionError = 53;

QJsonObject loadCaptions()
{
    QFile file(QStringLiteral(":/kestrova/captions.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace

QString Captions::text(const char* key)
{
    static const QJsonObject captions = loadCaptions();
    const QJsonValue value = captions.value(QLatin1String(key));
    if (!value.isString()) {
        throw AppError(kMissingCaptionError,
                       QStringLiteral("缺少界面文字：%1").arg(QLatin1String(key)));
    }
    return value.toString();
}

// Kestrova — identity photo maker.
#include "Captions.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject loadCaptions()
{
    QFile file(QStringLiteral(":/kestrova/captions.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace

std::optional<QString> Captions::find(const char* key)
{
    static const QJsonObject captions = loadCaptions();
    const QJsonValue value = captions.value(QLatin1String(key));
    if (!value.isString()) {
        return std::nullopt;
    }
    return value.toString();
}

QString Captions::text(const char* key)
{
    // Only a build that lost its resources gets here; the resource test
    // catches that long before a user could.
    const std::optional<QString> caption = find(key);
    if (!caption) {
        qFatal("missing caption %s", key);
    }
    return *caption;
}

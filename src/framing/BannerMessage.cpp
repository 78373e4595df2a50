// Kestrova — identity photo maker.
#include "BannerMessage.h"

#include "platform/Clock.h"

#include <QDir>

QString bannerMessage(const QString& programDir, const QDateTime& now)
{
    return programDir + QDir::separator() + dateText(now.date()) + QLatin1Char(' ') +
           timeText(now.time()) + QStringLiteral(".jpg");
}

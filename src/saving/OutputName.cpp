// Kestrova — identity photo maker.
#include "OutputName.h"

#include "platform/Clock.h"

#include <QDateTime>
#include <QDir>

QString outputFileName(const QDateTime& moment)
{
    // Date and time come from the same reading: two readings could straddle
    // midnight and name the file a day off.
    return dateText(moment.date()) + u'_' + compactTimeText(moment.time()) + QStringLiteral(".jpg");
}

QString outputPath(const QString& folder, const QDateTime& moment)
{
    return folder + QDir::separator() + outputFileName(moment);
}

// Kestrova — identity photo maker.
#include "Clock.h"

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}

QString timeText(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString compactTimeText(const QTime& time)
{
    return time.toString(QStringLiteral("HHmmss"));
}

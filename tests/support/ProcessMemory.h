// Kestrova — identity photo maker.
#pragma once

#include <QByteArray>
#include <QFile>

/// What the kernel says of this process's memory, for checks that a picture
/// never costs more than it should.
namespace ProcessMemory {

/// A field of /proc/self/status in kB ("VmRSS", "VmHWM"), or -1 when unknown.
inline qint64 statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(key.size()).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

/// The resident size in kB, or -1 when unknown.
inline qint64 residentKb()
{
    return statusKb("VmRSS");
}

/// From here on VmHWM counts from the present resident size.
inline void resetPeakResident()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

} // namespace ProcessMemory

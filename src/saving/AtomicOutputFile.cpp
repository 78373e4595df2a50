// Kestrova — identity photo maker.
#include "AtomicOutputFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A file system that cannot sync at all says so with EINVAL; refusing every
// save there would help no one.
bool syncDescriptor(int fd)
{
    int result = 0;
    do {
        result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0 || errno == EINVAL;
}

// The rename is only lasting once the folder that holds the name is on disk.
bool syncFolderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = syncDescriptor(fd);
    ::close(fd);
    return synced;
}

} // namespace

AtomicOutputFile::AtomicOutputFile(const QString& path) : m_file(path) {}

bool AtomicOutputFile::open()
{
    // Qt 6.4 keeps writes of up to 16 KiB in a buffer, and a failure to write
    // that buffer out when the file is committed goes unreported; unbuffered,
    // each write reaches the disk and says whether it did.
    return m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 AtomicOutputFile::write(QByteArrayView bytes)
{
    return m_file.write(bytes.data(), bytes.size());
}

bool AtomicOutputFile::flush()
{
    // QSaveFile syncs on commit but ignores the result, and a disk that runs
    // out of room may only say so here.
    return m_file.flush() && syncDescriptor(m_file.handle());
}

bool AtomicOutputFile::commit()
{
    return m_file.commit() && syncFolderOf(m_file.fileName());
}

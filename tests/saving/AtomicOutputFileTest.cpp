// Kestrova — identity photo maker.
#include "saving/AtomicOutputFile.h"

#include "PortraitPicture.h"
#include "platform/AppError.h"
#include "saving/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr qint64 kPage = 4096;
constexpr const char* kDiskSize = "size=256k";

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

qint64 freeBytes(const QString& folder)
{
    struct statvfs info
    {};
    if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0) {
        return -1;
    }
    return qint64(info.f_bavail) * qint64(info.f_bsize);
}

// Fills the file system with one file until it refuses more, then gives back
// leaveFree bytes.
bool fillDisk(const QString& folder, qint64 leaveFree)
{
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/filler"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const QByteArray block(kPage, 'f');
    qint64 total = 0;
    ssize_t written = 0;
    while ((written = ::write(fd, block.constData(), std::size_t(block.size()))) > 0) {
        total += written;
    }
    const bool full = written < 0 && errno == ENOSPC;
    const bool trimmed = ::ftruncate(fd, total - leaveFree) == 0;
    ::close(fd);
    return full && trimmed && freeBytes(folder) == leaveFree;
}

QByteArray patterned(qint64 size, char seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i) {
        bytes[i] = char(seed + i % 251);
    }
    return bytes;
}

} // namespace

// Saving onto a real, small file system that is full or nearly so. Mounting
// one needs root, which CI has.
class AtomicOutputFileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void saveOnAFullDiskFailsAndKeepsTheEarlierFile_data();
    void saveOnAFullDiskFailsAndKeepsTheEarlierFile();
    void pictureSaveOnAFullDiskRaisesErrorFive();

private:
    QTemporaryDir m_root;
    QString m_disk;
    bool m_mounted = false;
};

void AtomicOutputFileTest::initTestCase()
{
    if (::geteuid() != 0) {
        QSKIP("Not root: a small tmpfs to fill up cannot be mounted, so saving onto a "
              "full disk is not tested here (CI runs this as root).");
    }
    QVERIFY(m_root.isValid());
    m_disk = m_root.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(m_disk));
    if (::mount("tmpfs", QFile::encodeName(m_disk).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                kDiskSize) != 0) {
        const QByteArray reason = QByteArrayLiteral("Cannot mount a tmpfs to fill up (") +
                                  std::strerror(errno) +
                                  QByteArrayLiteral("), so saving onto a full disk is not tested.");
        QSKIP(reason.constData());
    }
    m_mounted = true;
}

void AtomicOutputFileTest::cleanupTestCase()
{
    if (m_mounted) {
        QCOMPARE(::umount(QFile::encodeName(m_disk).constData()), 0);
    }
}

void AtomicOutputFileTest::init()
{
    for (const QString& name : entries(m_disk)) {
        QVERIFY(QFile::remove(m_disk + u'/' + name));
    }
}

void AtomicOutputFileTest::saveOnAFullDiskFailsAndKeepsTheEarlierFile_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("leftFree");
    QTest::addColumn<bool>("fits");

    // Up to 16 KiB is what Qt keeps in its buffer; most saves are that small.
    QTest::newRow("100 B, disk full") << qint64(100) << qint64(0) << false;
    QTest::newRow("6 KB, disk full") << qint64(6000) << qint64(0) << false;
    QTest::newRow("16 KiB, disk full") << qint64(16384) << qint64(0) << false;
    QTest::newRow("30 KB, disk full") << qint64(30000) << qint64(0) << false;
    QTest::newRow("6 KB, one page free") << qint64(6000) << kPage << false;
    QTest::newRow("16 KiB, one page free") << qint64(16384) << kPage << false;
    QTest::newRow("30 KB, two pages free") << qint64(30000) << 2 * kPage << false;
    // And the disk is full only for what does not fit.
    QTest::newRow("100 B, one page free") << qint64(100) << kPage << true;
    QTest::newRow("16 KiB, four pages free") << qint64(16384) << 4 * kPage << true;
}

void AtomicOutputFileTest::saveOnAFullDiskFailsAndKeepsTheEarlierFile()
{
    QFETCH(qint64, size);
    QFETCH(qint64, leftFree);
    QFETCH(bool, fits);
    const QString path = m_disk + QStringLiteral("/01-02-2026_120000.jpg");
    const QByteArray earlier = patterned(2000, 'e');
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(earlier), earlier.size());
    }
    QVERIFY(fillDisk(m_disk, leftFree));
    const QStringList before = entries(m_disk);

    const QByteArray bytes = patterned(size, 'n');
    bool written = false;
    {
        AtomicOutputFile file(path);
        written = writeWhole(file, bytes);
    }
    QCOMPARE(written, fits);
    QCOMPARE(readAll(path), fits ? bytes : earlier);
    QCOMPARE(entries(m_disk), before);
}

void AtomicOutputFileTest::pictureSaveOnAFullDiskRaisesErrorFive()
{
    const QString path = m_disk + QStringLiteral("/01-02-2026_120000.jpg");
    const QImage picture = portraitPicture();
    QVERIFY(!Module1::saveJpeg(picture, path, 30));
    const QByteArray earlier = readAll(path);
    QVERIFY(!earlier.isEmpty());
    QVERIFY(fillDisk(m_disk, 0));
    const QStringList before = entries(m_disk);

    const std::optional<AppError> error = Module1::saveJpeg(picture, path, 90);
    QVERIFY(error);
    QCOMPARE(error->number(), 5);
    QCOMPARE(error->description(), QStringLiteral("保存图像失败。 GDI+ Error:7"));
    QCOMPARE(readAll(path), earlier);
    QCOMPARE(entries(m_disk), before);
}

QTEST_MAIN(AtomicOutputFileTest)
#include "AtomicOutputFileTest.moc"

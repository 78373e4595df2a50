// Kestrova — identity photo maker.
// Opening JPEGs from files that are not simply sitting still on a local disk.
#include "platform/PictureLoader.h"

#include "TestPictures.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestPictures;

namespace {

/// A process started with the given bytes as its environment, so that
/// /proc/<pid>/environ reads back exactly those bytes and a NUL. The kernel
/// offers such files for reading only, never for mapping.
class EnvironmentFile
{
public:
    explicit EnvironmentFile(const QByteArray& bytes)
    {
        // The kernel joins the strings with NULs, so splitting at them first
        // gives back the bytes as they were.
        m_strings = bytes.split('\0');
        std::vector<char*> environment;
        for (QByteArray& string : m_strings) {
            environment.push_back(string.data());
        }
        environment.push_back(nullptr);
        char sleepPath[] = "/bin/sleep";
        char seconds[] = "600";
        char* argv[] = {sleepPath, seconds, nullptr};
        if (::posix_spawn(&m_pid, sleepPath, nullptr, nullptr, argv, environment.data()) != 0) {
            m_pid = 0;
            return;
        }
        // posix_spawn returns once the new program replaces the child, which
        // is a moment before the kernel has laid out its environment: until
        // then the file reads as empty.
        QDeadlineTimer deadline(kStartDeadlineMs);
        while (!deadline.hasExpired() && readAll().isEmpty()) {
            QThread::yieldCurrentThread();
        }
    }

    ~EnvironmentFile()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    EnvironmentFile(const EnvironmentFile&) = delete;
    EnvironmentFile& operator=(const EnvironmentFile&) = delete;

    [[nodiscard]] QString path() const
    {
        return m_pid > 0 ? QStringLiteral("/proc/%1/environ").arg(m_pid) : QString();
    }

private:
    static constexpr int kStartDeadlineMs = 5000;

    [[nodiscard]] QByteArray readAll() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QList<QByteArray> m_strings;
    pid_t m_pid = 0;
};

/// Whether the kernel refuses to map the file.
bool refusesMapping(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    void* mapped = ::mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0);
    const bool refused = mapped == MAP_FAILED;
    if (!refused) {
        ::munmap(mapped, 4096);
    }
    ::close(fd);
    return refused;
}

/// Whether this process has the file mapped into its memory.
bool mappedHere(const QByteArray& canonicalPath)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(canonicalPath);
}

} // namespace

class PictureLoaderSourceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void jpegOpensFromAFileThatCannotBeMapped()
    {
        const QImage photo = photoLike(QSize(64, 48));
        const QByteArray jpeg = jpegFile(photo);
        const EnvironmentFile file(jpeg);
        QVERIFY(!file.path().isEmpty());
        QVERIFY(QFileInfo(file.path()).isFile());
        QVERIFY(refusesMapping(file.path()));

        QtPictureLoader loader;
        const std::optional<QImage> loaded = loader.load(file.path());
        QVERIFY(loaded);
        QCOMPARE(loaded, loader.load(writeFile(QDir(m_dir.path()), "mappable.jpg", jpeg)));
    }

    void jpegCutShortWhileOpeningDoesNotCrash()
    {
        // What a sync client or a failing card does to a photo being opened:
        // the file keeps losing its end and getting it back, cleared. Should
        // the file ever be mapped, it stays cut short for as long as it is,
        // which is what a mapping cannot survive.
        const QSize size(2400, 1600);
        const QByteArray jpeg = jpegFile(photoLike(size));
        const QString path = writeFile(QDir(m_dir.path()), "changing.jpg", jpeg);
        const QByteArray canonical = QFile::encodeName(QFileInfo(path).canonicalFilePath());
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        const qint64 quarter = jpeg.size() / 4;
        std::atomic<bool> done{false};
        std::atomic<int> cuts{0};
        std::thread cutter([&] {
            while (!done) {
                if (::ftruncate(fd, quarter) == 0 && ::ftruncate(fd, jpeg.size()) == 0) {
                    ++cuts;
                }
                if (mappedHere(canonical) && ::ftruncate(fd, quarter) == 0) {
                    while (!done && mappedHere(canonical)) {
                    }
                    (void)::ftruncate(fd, jpeg.size());
                }
            }
        });

        constexpr int kOpens = 24;
        QList<QSize> sizes;
        for (int i = 0; i < kOpens; ++i) {
            QtPictureLoader loader;
            // Refused, or shown whole: any other failure would leave the
            // loader as an exception and end the test.
            if (const std::optional<QImage> picture = loader.load(path)) {
                sizes << picture->size();
            }
        }
        done = true;
        cutter.join();
        ::close(fd);

        QVERIFY(cuts > 0);
        for (const QSize& loaded : sizes) {
            QCOMPARE(loaded, size);
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(PictureLoaderSourceTest)
#include "PictureLoaderSourceTest.moc"

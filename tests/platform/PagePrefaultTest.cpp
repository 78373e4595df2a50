// Kestrova — identity photo maker.
// Mapping a picture's pages in ahead of its decoder must never change a byte
// the decoder has already written, however the two overlap.
#include "platform/PagePrefault.h"

#include <QTest>

#include <cstdlib>
#include <memory>

namespace {

constexpr qsizetype kBytes = 96 * 1024 * 1024;

struct FreeDeleter
{
    void operator()(void* data) const { std::free(data); }
};

} // namespace

class PagePrefaultTest : public QObject
{
    Q_OBJECT

private slots:
    void writtenBytesAreKept_data()
    {
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<bool>("writtenFirst");
        // Page-aligned, and off by a few bytes as a picture's pixels are;
        // written while the pages are mapped, and before, as when the
        // decoder runs ahead of the mapping.
        QTest::newRow("aligned, meanwhile") << qsizetype(0) << false;
        QTest::newRow("unaligned, meanwhile") << qsizetype(16) << false;
        QTest::newRow("unaligned, written first") << qsizetype(16) << true;
    }

    void writtenBytesAreKept()
    {
        QFETCH(qsizetype, offset);
        QFETCH(bool, writtenFirst);
        // Fresh from the system, as a large picture's memory is.
        const std::unique_ptr<void, FreeDeleter> block(std::malloc(std::size_t(kBytes + offset)));
        QVERIFY(block);
        auto* bytes = static_cast<unsigned char*>(block.get()) + offset;
        auto write = [bytes] {
            for (qsizetype at = 0; at < kBytes; ++at) {
                bytes[at] = static_cast<unsigned char>(at * 7 + 3);
            }
        };
        if (writtenFirst) {
            write();
        }
        {
            const PagePrefault prefault(bytes, kBytes);
            if (!writtenFirst) {
                write();
            }
        }
        for (qsizetype at = 0; at < kBytes; ++at) {
            if (bytes[at] != static_cast<unsigned char>(at * 7 + 3)) {
                QFAIL(qPrintable(QStringLiteral("byte %1 changed").arg(at)));
            }
        }
    }

    void tinyOrEmptyBuffersAreLeftAlone()
    {
        unsigned char small[64] = {1, 2, 3};
        {
            const PagePrefault prefault(small, sizeof small);
        }
        QCOMPARE(small[2], 3);
        {
            const PagePrefault prefault(nullptr, 0);
        }
    }
};

QTEST_GUILESS_MAIN(PagePrefaultTest)
#include "PagePrefaultTest.moc"

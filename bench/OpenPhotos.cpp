// Kestrova — identity photo maker.
#include "OpenPhotos.h"

#include "TestPictures.h"

#include <QDir>
#include <QRect>
#include <QTemporaryDir>

#include <map>
#include <utility>

namespace OpenPhotos {

namespace {

constexpr int kQuality = 90;
constexpr int kOpens = 5;
// EXIF orientation 6: shown turned a quarter clockwise.
constexpr int kTurnedClockwise = 6;

QTemporaryDir& pictureDir()
{
    static QTemporaryDir dir;
    return dir;
}

} // namespace

bool shortRun()
{
    return qEnvironmentVariableIsSet("KESTROVA_BENCH_SHORT");
}

QString pathOf(const PhotoFile& file)
{
    static std::map<QString, QString> written;
    const QString name = QString::fromLatin1(file.name) + QStringLiteral(".jpg");
    auto it = written.find(name);
    if (it == written.end()) {
        QByteArray bytes =
            TestPictures::jpegFile(TestPictures::photoLike(file.size), kQuality, file.progressive);
        if (file.storedOnItsSide) {
            bytes = TestPictures::withExifOrientation(bytes, kTurnedClockwise);
        }
        it = written.emplace(name, TestPictures::writeFile(QDir(pictureDir().path()), name, bytes))
                 .first;
    }
    return it->second;
}

std::string storedCorner(const PhotoFile& file, QSize corner)
{
    // Turned clockwise, the shown corner's columns are the stored bottom rows.
    const QRect stored = file.storedOnItsSide ? QRect(0, file.size.height() - corner.width(),
                                                      corner.height(), corner.width())
                                              : QRect(QPoint(0, 0), corner);
    return std::to_string(stored.width()) + "x" + std::to_string(stored.height()) + "+" +
           std::to_string(stored.x()) + "+" + std::to_string(stored.y());
}

void registerOpenings(const std::string& family, OpenBenchmark run)
{
    const bool quick = shortRun();
    const std::pair<Opening, const char*> openings[] = {{Opening::Cold, "/cold"},
                                                        {Opening::Chosen, "/chosen"},
                                                        {Opening::Warm, "/warm"},
                                                        {Opening::Again, "/again"}};
    for (const PhotoFile& file : kFiles) {
        // A quick pass opens only the smallest file, so CI stays quick.
        if (quick && &file != &kFiles[0]) {
            continue;
        }
        for (const auto& [opening, suffix] : openings) {
            if (opening == Opening::Again && (file.progressive || file.storedOnItsSide)) {
                continue;
            }
            const std::string name = family + "/" + file.name + suffix;
            benchmark::RegisterBenchmark(name.c_str(), run, file, opening)
                ->Iterations(quick ? 1 : kOpens)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
}

} // namespace OpenPhotos

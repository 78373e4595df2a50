// Kestrova — identity photo maker.
#include "OpenPhotos.h"

#include "TestPictures.h"

#include <QDir>
#include <QTemporaryDir>

#include <map>

namespace OpenPhotos {

namespace {

constexpr int kQuality = 90;
constexpr int kOpens = 5;

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
        const QByteArray bytes =
            TestPictures::jpegFile(TestPictures::photoLike(file.size), kQuality, file.progressive);
        it = written.emplace(name, TestPictures::writeFile(QDir(pictureDir().path()), name, bytes))
                 .first;
    }
    return it->second;
}

void registerColdAndWarm(const std::string& family, OpenBenchmark run)
{
    const bool quick = shortRun();
    for (const PhotoFile& file : kFiles) {
        // A quick pass opens only the smallest file, so CI stays quick.
        if (quick && &file != &kFiles[0]) {
            continue;
        }
        for (const bool cold : {true, false}) {
            const std::string name = family + "/" + file.name + (cold ? "/cold" : "/warm");
            benchmark::RegisterBenchmark(name.c_str(), run, file, cold)
                ->Iterations(quick ? 1 : kOpens)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
}

} // namespace OpenPhotos

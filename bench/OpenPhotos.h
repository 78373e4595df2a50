// Kestrova — identity photo maker.
#pragma once

#include <QSize>
#include <QString>

#include <benchmark/benchmark.h>

#include <string>

/// The photos the opening benchmarks open: photo-like JPEGs written once per
/// run into a folder of their own.
namespace OpenPhotos {

struct PhotoFile
{
    const char* name;
    QSize size; // as stored
    bool progressive;
    bool storedOnItsSide = false;

    /// The photo as shown: stored on its side, it is turned a quarter.
    [[nodiscard]] constexpr QSize shownSize() const
    {
        return storedOnItsSide ? size.transposed() : size;
    }
};

// The progressive one is shaped like a camera's: 24 MP, written in scans. The
// one stored on its side is a phone's photo taken upright: its EXIF
// orientation turns it a quarter clockwise, so the corner in view is stored
// in its last rows.
inline constexpr PhotoFile kFiles[] = {
    {"12MP", QSize(4000, 3000), false},
    {"24MP", QSize(6000, 4000), false},
    {"48MP", QSize(8000, 6000), false},
    {"100MP", QSize(12000, 8400), false},
    {"24MP_progressive", QSize(6000, 4000), true},
    {"12MP_on_its_side", QSize(4000, 3000), false, true},
};

/// djpeg's -crop argument for the stored pixels of the shown corner of
/// the given size: what a first paint decodes.
[[nodiscard]] std::string storedCorner(const PhotoFile& file, QSize corner);

/// Set by `scripts/bench.sh --short`: one quick pass that only proves the benchmarks run.
[[nodiscard]] bool shortRun();

/// The file's path, written on first use.
[[nodiscard]] QString pathOf(const PhotoFile& file);

/// What comes before an open.
enum class Opening
{
    // A pause, in a window of its own: the first photo a user opens.
    Cold,
    // The previous photo let go just before, in a window of its own.
    Warm,
    // A pause, in the window still showing the same photo opened before, as
    // a user opens one photo after another; the open lets that one go.
    Again,
    // A pause, in a window of its own, then the photo highlighted in the open
    // dialog for kChoosingMs before it is opened: the first photo a user picks.
    Chosen,
};

/// How long a photo stays highlighted in the open dialog before Return.
inline constexpr int kChoosingMs = 1000;

using OpenBenchmark = void (*)(benchmark::State&, const PhotoFile&, Opening opening);

/// Registers family/<photo>/cold, family/<photo>/chosen and
/// family/<photo>/warm for every photo, and family/<photo>/again for the
/// upright baseline ones, five opens each; a quick pass, only the smallest
/// photo, opened once.
void registerOpenings(const std::string& family, OpenBenchmark run);

} // namespace OpenPhotos

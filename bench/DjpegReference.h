// Kestrova — identity photo maker.
#pragma once

#include "OpenPhotos.h"
#include "Spread.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <string>

/// libjpeg-turbo's own djpeg on the file a benchmark opens, run before each
/// timed open in the same run: decoding only the stored pixels of the
/// 240 x 360 corner a first paint shows, and decoding the whole photo.
///
/// Two kinds of memory. Warm: each open follows the previous photo's release
/// at once, so it gets pages the process has just given back. Cold, and
/// again: a pause comes before every timed run, as a user makes between
/// opens; a virtual machine hands freed memory back to its host within
/// seconds, and pages must then be fetched and cleared again. Both djpeg runs
/// get the same pause.
class DjpegReference
{
public:
    DjpegReference(const OpenPhotos::PhotoFile& file, OpenPhotos::Opening opening);

    /// djpeg on the whole file and on its corner, each after the pause, then
    /// the pause before the open; false when djpeg could not be run.
    [[nodiscard]] bool runBeforeOpen(const QString& path);
    /// The open's figures (first paint, whole photo ready) beside djpeg's, and
    /// the ratios, as the benchmark's counters.
    void report(benchmark::State& state, const Spread& firstPaint, const Spread& fullReady) const;

private:
    void pauseUnlessWarm() const;

    std::string m_corner;
    bool m_paused;
    Spread m_whole;
    Spread m_cornerTimes;
};

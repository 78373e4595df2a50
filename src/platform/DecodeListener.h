// Kestrova — identity photo maker.
#pragma once

#include <QRect>

class QImage;

/// Follows a decode as it goes, so a picture can be shown before all of it is
/// in. Called on the decoding threads, never on the one that asked for the
/// decode; a listener that shares what it is told must lock for it.
class DecodeListener
{
public:
    virtual ~DecodeListener() = default;
    /// The picture's memory, before any pixel of it is final. The decoder
    /// writes into it through pointers taken before this call, so the
    /// listener's copy must never be detached (no non-const bits()).
    virtual void started(const QImage& picture) = 0;
    /// The pixels in region are final; successive regions grow from one edge
    /// of the picture, so all of them together always make one rectangle.
    virtual void regionDone(const QRect& region) = 0;
    /// Asked between rows: true ends the decode early, with no picture.
    [[nodiscard]] virtual bool stopRequested() const = 0;

    /// The part of the picture wanted before the rest, which a decoder may
    /// decode ahead, beside the rows around it; empty for none.
    [[nodiscard]] virtual QRect wantedFirst() const { return {}; }
    /// The pixels in region, within wantedFirst(), are final ahead of the
    /// rows they lie in; a later regionDone() tells them again with the rest.
    virtual void aheadDone(const QRect& region) { (void)region; }
};

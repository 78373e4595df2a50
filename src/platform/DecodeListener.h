// Kestrova — identity photo maker.
#pragma once

#include <QRect>

class QImage;

/// Work a decoder would rather have run at once than start a thread for: a
/// thread that is already waiting for its result starts it at once, where a
/// new thread may wait milliseconds for a core. Whoever claims it runs it.
class AheadWork
{
public:
    /// True for the one caller that is to run the work; false once another
    /// has claimed it or its decoder has taken it back.
    [[nodiscard]] virtual bool claim() = 0;
    /// Runs the work; only for the caller that claimed it.
    virtual void run() = 0;

protected:
    ~AheadWork() = default;
};

/// Follows a decode as it goes, so a picture can be shown before all of it is
/// in. Called on the decoding threads, never on the one that asked for the
/// decode, except for what work it runs itself (offerAhead()); a listener that
/// shares what it is told must lock for it.
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
    /// Offers work towards wantedFirst() to a thread that waits for it; false
    /// when there is none to hand it to. A listener that takes the offer
    /// claims the work, if ever, under the lock withdrawAhead() takes, so once
    /// that returns the work is either claimed or never will be.
    [[nodiscard]] virtual bool offerAhead(AheadWork& work)
    {
        (void)work;
        return false;
    }
    /// Takes back the work offered, if no one has claimed it.
    virtual void withdrawAhead() {}
};

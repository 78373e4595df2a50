// Kestrova — identity photo maker.
#pragma once

#include "DecodeListener.h"

#include <QImage>
#include <QRect>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

/// A picture decoded on a thread of its own, which can be shown as soon as the
/// part of it in view is in, while the rest keeps coming.
class PictureStream final : public DecodeListener
{
public:
    /// Decodes into the listener it is given; nothing when it cannot.
    using Decode = std::function<std::optional<QImage>(DecodeListener*)>;

    /// Hears, on a decoding thread, that the pixels in region of the picture are final.
    using RegionDone = std::function<void(const QImage& picture, const QRect& region)>;

    /// Starts decode on a new thread, wanting the region wantedFirst before the
    /// rest. onRegion hears each region as its pixels become final, onFinished
    /// once the decode is over; both on a decoding thread, and either may be
    /// empty. Throws std::system_error when no thread can be had.
    PictureStream(Decode decode, QRect wantedFirst, RegionDone onRegion,
                  std::function<void()> onFinished);
    /// Stops the decode where it is and waits for its thread.
    ~PictureStream() override;
    PictureStream(const PictureStream&) = delete;
    PictureStream& operator=(const PictureStream&) = delete;

    /// Returns once every pixel of region within the picture is final, or the
    /// decode is over. Meanwhile runs what work the decoder offers towards the
    /// part wanted first, on this thread, which would only wait otherwise.
    void waitFor(const QRect& region);
    /// Returns once the decode is over.
    void waitUntilFinished();
    [[nodiscard]] bool isFinished() const;
    /// The part of the picture whose pixels are final, not counting a part
    /// decoded ahead of its rows.
    [[nodiscard]] QRect readyRegion() const;
    /// The picture as far as it is decoded, sharing its memory; its pixels
    /// are final only within readyRegion(). Null before the decode has sized
    /// it, and once the decode is over without a picture.
    [[nodiscard]] QImage picture() const;

    void started(const QImage& picture) override;
    void regionDone(const QRect& region) override;
    [[nodiscard]] bool stopRequested() const override;
    [[nodiscard]] QRect wantedFirst() const override;
    void aheadDone(const QRect& region) override;
    [[nodiscard]] bool offerAhead(AheadWork& work) override;
    void withdrawAhead() override;

private:
    void run(const Decode& decode);
    /// Whether the decode has ended or region is in; with m_mutex held.
    [[nodiscard]] bool holds(const QRect& region) const;

    RegionDone m_onRegion;
    std::function<void()> m_onFinished;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QImage m_picture;
    const QRect m_wantedFirst;
    QRect m_ready;
    QRect m_ahead;
    AheadWork* m_offered = nullptr;
    bool m_finished = false;
    std::atomic<bool> m_stop = false;
    // Last, so it is started once everything it uses exists, and joined first.
    std::jthread m_worker;
};

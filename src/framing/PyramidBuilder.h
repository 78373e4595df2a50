// Kestrova — identity photo maker.
#pragma once

#include <QImage>
#include <QRect>

#include <memory>
#include <optional>
#include <vector>

class RegionWorker;

/// Makes a picture's reductions while the picture is still being decoded, on
/// a thread of its own: each level's part whose pixels are all in is halved
/// into the next as soon as it is, so the levels are ready about when the
/// decode is. The result is the same as PhotoPyramid's own halvings.
class PyramidBuilder
{
public:
    PyramidBuilder();
    /// Stops and waits for the thread, whatever is left undone.
    ~PyramidBuilder();
    PyramidBuilder(const PyramidBuilder&) = delete;
    PyramidBuilder& operator=(const PyramidBuilder&) = delete;

    /// The pixels of picture in region are final. Regions come in the order
    /// they are decoded, from one thread at a time, growing from one edge.
    void regionDone(const QImage& picture, const QRect& region);
    /// Waits for the work handed over; then the reductions, when the regions
    /// covered the whole picture and nothing else, and nothing otherwise
    /// (no thread could be had, or a level found no memory).
    [[nodiscard]] std::optional<std::vector<QImage>> finish();

private:
    /// Maps the reductions' memory; false when they cannot be made here.
    [[nodiscard]] bool makeLevels();
    void halve(const QRect& region);

    // Read and written on the worker thread only, until finish() has waited for it.
    QImage m_picture;
    std::vector<QImage> m_reductions;
    // How much of the picture, then of each reduction, is made.
    std::vector<QRect> m_made;
    bool m_failed = false;
    std::unique_ptr<RegionWorker> m_worker;
};

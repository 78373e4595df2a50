// Kestrova — identity photo maker.
#include "PyramidBuilder.h"

#include "PhotoPyramid.h"
#include "platform/MappedImage.h"
#include "platform/RegionWorker.h"

#include <new>
#include <system_error>
#include <vector>

namespace {

/// The part of grown not yet in made; both grow from the same edge, so it is
/// a single band along that edge.
QRect newPart(const QRect& grown, const QRect& made)
{
    if (made.isEmpty()) {
        return grown;
    }
    if (grown.left() == made.left() && grown.right() == made.right()) {
        return grown.top() < made.top()
                   ? QRect(grown.left(), grown.top(), grown.width(), made.top() - grown.top())
                   : QRect(grown.left(), made.bottom() + 1, grown.width(),
                           grown.bottom() - made.bottom());
    }
    return grown.left() < made.left()
               ? QRect(grown.left(), grown.top(), made.left() - grown.left(), grown.height())
               : QRect(made.right() + 1, grown.top(), grown.right() - made.right(), grown.height());
}

} // namespace

PyramidBuilder::PyramidBuilder()
{
    try {
        m_worker = std::make_unique<RegionWorker>([this](const QRect& region) { halve(region); });
    } catch (const std::system_error&) {
        // The levels are then made the usual way, once the picture is in.
        m_failed = true;
    }
}

PyramidBuilder::~PyramidBuilder() = default;

bool PyramidBuilder::makeLevels()
{
    // Decoded pictures only; any other is halved the usual way once whole.
    if (m_picture.format() != QImage::Format_RGB32) {
        return false;
    }
    try {
        const std::vector<QSize> sizes = PhotoPyramid::levelSizes(m_picture.size());
        for (auto size = sizes.begin() + 1; size != sizes.end(); ++size) {
            QImage level = mappedImage(*size, m_picture.format());
            if (level.isNull()) {
                // Out of memory: the levels made so far still show every size.
                break;
            }
            m_reductions.push_back(std::move(level));
        }
        m_made.assign(m_reductions.size() + 1, QRect());
    } catch (const std::bad_alloc&) {
        // Made the usual way once the picture is in, as far as memory allows.
        m_reductions.clear();
        return false;
    }
    return true;
}

void PyramidBuilder::regionDone(const QImage& picture, const QRect& region)
{
    if (!m_worker) {
        return;
    }
    if (m_picture.isNull()) {
        // Set before the first region is handed over, and never again.
        m_picture = picture;
    }
    m_worker->add(region);
}

std::optional<std::vector<QImage>> PyramidBuilder::finish()
{
    if (m_worker) {
        m_worker->finish();
    }
    if (m_failed || m_made.empty() || m_made.front() != m_picture.rect()) {
        return std::nullopt;
    }
    return std::move(m_reductions);
}

void PyramidBuilder::halve(const QRect& region)
{
    if (m_failed || (m_made.empty() && !makeLevels())) {
        m_failed = true;
        return;
    }
    m_made[0] = m_made[0].united(region);
    for (std::size_t index = 0; index < m_reductions.size(); ++index) {
        const QImage& source = index == 0 ? m_picture : m_reductions[index - 1];
        const QRect grown = PhotoPyramid::halvedRegion(m_made[index], source.size());
        const QRect part = newPart(grown, m_made[index + 1]);
        if (part.isEmpty()) {
            break;
        }
        PhotoPyramid::halveInto(source, m_reductions[index], part);
        m_made[index + 1] = grown;
    }
}

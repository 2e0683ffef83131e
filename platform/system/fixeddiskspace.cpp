#include "platform/system/fixeddiskspace.h"

#include <QMutexLocker>

namespace quorvel {

FixedDiskSpace::FixedDiskSpace(std::optional<DiskFigures> figures) : m_figures(figures) {}

std::optional<DiskFigures> FixedDiskSpace::query(const QString&) const
{
    QMutexLocker lock(&m_mutex);
    return m_figures;
}

void FixedDiskSpace::setFigures(std::optional<DiskFigures> figures)
{
    QMutexLocker lock(&m_mutex);
    m_figures = figures;
}

} // namespace quorvel

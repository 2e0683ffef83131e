#pragma once

#include "platform/system/diskspace.h"

#include <QMutex>

namespace quorvel {

// Test double: reports figures set by the test, or a failed query.
class FixedDiskSpace : public DiskSpace {
public:
    explicit FixedDiskSpace(std::optional<DiskFigures> figures = DiskFigures{});
    std::optional<DiskFigures> query(const QString& folder) const override;
    void setFigures(std::optional<DiskFigures> figures);

private:
    mutable QMutex m_mutex;
    std::optional<DiskFigures> m_figures;
};

} // namespace quorvel

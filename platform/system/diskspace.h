#pragma once

#include <QString>
#include <optional>

namespace quorvel {

struct DiskFigures {
    qint64 totalBytes = 0;
    qint64 availableBytes = 0; // what an unprivileged writer may still use
};

// Size and free space of the volume that holds a folder.
class DiskSpace {
public:
    virtual ~DiskSpace() = default;
    // std::nullopt when the volume cannot be queried. Called from several
    // threads at once.
    virtual std::optional<DiskFigures> query(const QString& folder) const = 0;
};

} // namespace quorvel

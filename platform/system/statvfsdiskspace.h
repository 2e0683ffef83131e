#pragma once

#include "platform/system/diskspace.h"

namespace quorvel {

class StatvfsDiskSpace : public DiskSpace {
public:
    std::optional<DiskFigures> query(const QString& folder) const override;
};

} // namespace quorvel

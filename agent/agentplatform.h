#pragma once

#include "platform/system/diskspace.h"
#include "platform/system/powercontrol.h"
#include "platform/system/systemclock.h"

#include <memory>

namespace quorvel {

struct AgentSettings;

// The real platform layers the settings ask for: the configured power
// commands, the clock command or the in-process clock, statvfs.
struct AgentPlatform {
    std::unique_ptr<SystemClock> clock;
    std::unique_ptr<PowerControl> power;
    std::unique_ptr<DiskSpace> disk;

    static AgentPlatform fromSettings(const AgentSettings& settings);
};

} // namespace quorvel

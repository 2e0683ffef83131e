#include "agent/agentplatform.h"

#include "agent/agentsettings.h"
#include "platform/system/commandpowercontrol.h"
#include "platform/system/commandsystemclock.h"
#include "platform/system/posixsystemclock.h"
#include "platform/system/statvfsdiskspace.h"

namespace quorvel {

AgentPlatform AgentPlatform::fromSettings(const AgentSettings& settings)
{
    AgentPlatform platform;
    if (settings.setClockCommand.isEmpty())
        platform.clock = std::make_unique<PosixSystemClock>();
    else
        platform.clock = std::make_unique<CommandSystemClock>(settings.setClockCommand);
    platform.power =
        std::make_unique<CommandPowerControl>(settings.shutdownCommand, settings.rebootCommand);
    platform.disk = std::make_unique<StatvfsDiskSpace>();
    return platform;
}

} // namespace quorvel

#pragma once

#include "agent/agenthost.h"

namespace quorvel::bench {

// An agent window that is always in standby and ignores power orders.
class StandbyHost : public AgentHost {
public:
    QByteArray GetPlayStatus() override { return QByteArrayLiteral("STB"); }
    void postAgentCmd(int) override {}
};

} // namespace quorvel::bench

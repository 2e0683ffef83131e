#pragma once

#include "agent/agenthost.h"

#include <atomic>

namespace quorvel::bench {

// The window side of an agent that plays nothing: always standby, and power
// requests are only counted, never carried out.
class BenchHost : public AgentHost {
public:
    QByteArray GetPlayStatus() override;
    void postAgentCmd(int code) override;

    int posted() const { return m_posted.load(); }

private:
    std::atomic<int> m_posted{0};
};

} // namespace quorvel::bench

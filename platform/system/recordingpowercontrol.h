#pragma once

#include "platform/system/powercontrol.h"

#include <atomic>

namespace quorvel {

// Test double: counts the requests and never touches the machine.
class RecordingPowerControl : public PowerControl {
public:
    bool powerOff(QString* error) override;
    bool restart(QString* error) override;

    int powerOffCount() const { return m_powerOffs.load(); }
    int restartCount() const { return m_restarts.load(); }

private:
    std::atomic<int> m_powerOffs{0};
    std::atomic<int> m_restarts{0};
};

} // namespace quorvel

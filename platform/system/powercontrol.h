#pragma once

#include <QString>

namespace quorvel {

// Forced power-off and restart of the machine. Both only start the action
// and return at once.
class PowerControl {
public:
    virtual ~PowerControl() = default;
    virtual bool powerOff(QString* error) = 0;
    virtual bool restart(QString* error) = 0;
};

} // namespace quorvel

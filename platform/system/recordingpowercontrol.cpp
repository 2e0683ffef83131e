#include "platform/system/recordingpowercontrol.h"

namespace quorvel {

bool RecordingPowerControl::powerOff(QString*)
{
    ++m_powerOffs;
    return true;
}

bool RecordingPowerControl::restart(QString*)
{
    ++m_restarts;
    return true;
}

} // namespace quorvel

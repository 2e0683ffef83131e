#pragma once

#include "console/terminals/tcheckstatusthread.h"

namespace quorvel {

// Holds the monitor's new passes back for as long as it lives, so a command
// that talks to terminals never leaves the monitor paused, however it ends.
class PauseGuard {
public:
    explicit PauseGuard(TCheckStatusThread& thread) : m_thread(thread) { m_thread.Pause(); }
    ~PauseGuard() { m_thread.Resume(); }
    PauseGuard(const PauseGuard&) = delete;
    PauseGuard& operator=(const PauseGuard&) = delete;

private:
    TCheckStatusThread& m_thread;
};

} // namespace quorvel

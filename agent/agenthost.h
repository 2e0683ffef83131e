#pragma once

#include <QByteArray>

namespace quorvel {

// Codes of the agent window's own command message.
inline constexpr int AgentCmdStopPlayers = 2;
inline constexpr int AgentCmdShutdown = 3;
inline constexpr int AgentCmdRestart = 4;

// What the command server needs from the agent window.
class AgentHost {
public:
    virtual ~AgentHost() = default;
    // "STB" or "WKG". Called on connection threads, several at once.
    virtual QByteArray GetPlayStatus() = 0;
    // Hands a code (AgentCmdShutdown, AgentCmdRestart) to the main thread
    // and returns at once. Called on connection threads.
    virtual void postAgentCmd(int code) = 0;
};

} // namespace quorvel

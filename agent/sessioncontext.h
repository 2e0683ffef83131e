#pragma once

namespace quorvel {

class AgentHost;
class Repository;
class SystemOperations;
class TCmdExecutor;

// What a protocol session acts on. All of these are shared by every
// connection and are safe to use from several threads.
struct SessionContext {
    const Repository& repository;
    SystemOperations& system;
    TCmdExecutor& commands;
    AgentHost& host;
};

} // namespace quorvel

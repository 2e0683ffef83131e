#pragma once

#include <QString>

namespace quorvel {

// How one command to a terminal came out.
enum class CommandStatus {
    Succeeded,   // the terminal answered as hoped
    Refused,     // the terminal answered, but with a refusal ("BFA", "FFA", "DFA" ...)
    NotAnswered, // no connection within the connect time-out, no reply line
                 // within the reply time-out, or an empty reply line
    Failed,      // the exchange broke after the connection stood (see error)
    FileError,   // a local file could not be used; nothing was sent (see error)
};

struct CommandResult {
    CommandStatus status = CommandStatus::NotAnswered;
    QString reply; // the first reply line as it came; empty when there was none
    QString error; // Failed and FileError: what went wrong, for the operator

    bool succeeded() const { return status == CommandStatus::Succeeded; }
    // The terminal was reached and said something (a refusal included).
    bool answered() const
    {
        return status == CommandStatus::Succeeded || status == CommandStatus::Refused;
    }
};

} // namespace quorvel

#pragma once

#include "agent/sessioncontext.h"
#include "agent/uploadfile.h"
#include "core/wire.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <memory>

namespace quorvel {

// The protocol of one connection, without the socket: bytes in, reply bytes
// and effects out. Every connection has its own session, so a body or an
// upload cut off by a closed connection leaves nothing behind, and two
// consoles never write into each other's body.
class AgentSession {
public:
    enum class Phase { Idle, TemplateBody, FileData, ScheduleBody };

    struct Output {
        QByteArray reply; // framed lines, ready to send
        bool close = false; // the connection must be closed after the reply
    };

    explicit AgentSession(SessionContext context);
    // An upload that is not complete is given up: the old file stays.
    ~AgentSession();
    AgentSession(const AgentSession&) = delete;
    AgentSession& operator=(const AgentSession&) = delete;

    // Bytes as they arrived; serves every complete line and every content
    // block in them, keeps the rest for the next call. A line longer than
    // 16384 bytes, or an upload that cannot be written, closes the
    // connection.
    Output receive(QByteArrayView bytes);

    // The same one unit at a time: a line (without terminator) in Idle or a
    // body phase, content bytes (at most uploadLeft()) in FileData.
    Output handleLine(QByteArrayView line);
    Output handleContent(QByteArrayView block);

    Phase phase() const { return m_phase; }
    qint64 uploadLeft() const { return m_uploadLeft; }

    // Body checks. CheckTemplateFiles rewrites each "[F]" source to the name
    // it is looked up by and lists the names not in the repository;
    // CheckScheduleModules lists the "MODULE=" templates not there.
    bool CheckTemplateFiles(QList<QByteArray>& lines, QStringList& missing) const;
    bool CheckScheduleModules(const QList<QByteArray>& lines, QStringList& missing) const;

private:
    Output serveRequest(QByteArrayView line);
    Output finishTemplate();
    Output finishSchedule();
    Output beginUpload(QByteArrayView line);
    void endUpload();
    bool templateExists(const QString& name) const;

    SessionContext m_context;
    wire::LineReader m_reader;
    Phase m_phase = Phase::Idle;
    QList<QByteArray> m_lines;
    std::unique_ptr<UploadFile> m_upload;
    qint64 m_uploadLeft = 0;
};

} // namespace quorvel

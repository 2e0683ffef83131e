#include "agent/agentsession.h"

#include "agent/agenthost.h"
#include "agent/cmdexecutor.h"
#include "agent/repository.h"
#include "agent/schexecutor.h"
#include "agent/systemoperations.h"
#include "core/textcodec.h"

namespace quorvel {
namespace {

using Output = AgentSession::Output;

Output reply(QByteArrayView word) { return {wire::frameLine(word), false}; }

void append(Output& total, const Output& part)
{
    total.reply += part.reply;
    total.close = total.close || part.close;
}

// Blanks and control characters off both ends, as the console's own trim.
QString trimmed(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QByteArray joinLines(const QList<QByteArray>& lines, qsizetype first)
{
    QByteArray content;
    for (qsizetype i = first; i < lines.size(); ++i) {
        content += lines[i];
        content += "\r\n";
    }
    return content;
}

} // namespace

AgentSession::AgentSession(SessionContext context) : m_context(context) {}

AgentSession::~AgentSession() = default;

Output AgentSession::receive(QByteArrayView bytes)
{
    Output total;
    // Content that arrives on its own goes straight to the file, without a
    // copy through the line buffer.
    if (m_phase == Phase::FileData && m_reader.buffered() == 0) {
        const qsizetype n = qsizetype(std::min<qint64>(bytes.size(), m_uploadLeft));
        append(total, handleContent(bytes.first(n)));
        if (total.close)
            return total;
        bytes = bytes.sliced(n);
    }
    m_reader.append(bytes);
    while (!total.close) {
        if (m_phase == Phase::FileData) {
            if (m_reader.buffered() == 0)
                break;
            append(total, handleContent(m_reader.takeBytes(qsizetype(m_uploadLeft))));
            continue;
        }
        QByteArray line;
        const wire::LineReader::Status status = m_reader.takeLine(&line);
        if (status == wire::LineReader::Status::NeedMore)
            break;
        if (status == wire::LineReader::Status::TooLong) {
            total.close = true;
            break;
        }
        append(total, handleLine(line));
    }
    return total;
}

Output AgentSession::handleLine(QByteArrayView line)
{
    switch (m_phase) {
    case Phase::Idle:
        return serveRequest(line);
    case Phase::TemplateBody:
        if (line == QByteArrayView(wire::BodyEnd))
            return finishTemplate();
        m_lines.append(line.toByteArray());
        return {};
    case Phase::ScheduleBody:
        if (line == QByteArrayView(wire::BodyEnd))
            return finishSchedule();
        m_lines.append(line.toByteArray());
        return {};
    case Phase::FileData:
        // Content is taken by handleContent; a line here is a caller's slip.
        return {};
    }
    return {};
}

Output AgentSession::handleContent(QByteArrayView block)
{
    if (m_phase != Phase::FileData || !m_upload)
        return {};
    if (block.size() > m_uploadLeft)
        block = block.first(qsizetype(m_uploadLeft));
    if (!Repository::WriteUploadChunk(*m_upload, block, nullptr)) {
        // The rest of the content cannot be stored, nor be read as requests.
        endUpload();
        return {{}, true};
    }
    m_uploadLeft -= block.size();
    if (m_uploadLeft == 0) {
        m_upload->finish(nullptr);
        endUpload();
    }
    return {};
}

void AgentSession::endUpload()
{
    m_upload.reset();
    m_uploadLeft = 0;
    m_phase = Phase::Idle;
}

Output AgentSession::serveRequest(QByteArrayView line)
{
    const Repository& repository = m_context.repository;
    const wire::Request request = wire::parseRequest(line);
    const QString argument = fromGb18030(request.argument);

    switch (request.kind) {
    case wire::RequestKind::Unknown:
        return {};
    case wire::RequestKind::Hello:
        return reply(m_context.host.GetPlayStatus());
    case wire::RequestKind::Begin:
        if (repository.FindRepoFiles(TSchExecutor::playlistName()).isEmpty())
            return reply(wire::BeginFailed);
        m_context.commands.AddCmd(QStringLiteral("SCHE"));
        return reply(wire::CommandOk);
    case wire::RequestKind::Stop:
        m_context.commands.AddCmd(QStringLiteral("EXIT"));
        return reply(wire::CommandOk);
    case wire::RequestKind::Shutdown:
        m_context.host.postAgentCmd(AgentCmdShutdown);
        return reply(wire::CommandOk);
    case wire::RequestKind::Reboot:
        m_context.host.postAgentCmd(AgentCmdRestart);
        return reply(wire::CommandOk);
    case wire::RequestKind::TemplateUpload:
        m_phase = Phase::TemplateBody;
        m_lines.clear();
        return {};
    case wire::RequestKind::ScheduleUpload:
        m_phase = Phase::ScheduleBody;
        m_lines.clear();
        return {};
    case wire::RequestKind::Play: {
        if (!templateExists(argument))
            return reply(wire::PlayFailed);
        m_context.commands.AddCmd(QStringLiteral("EXIT"));
        m_context.commands.AddCmd(QStringLiteral("PLAY=") + argument);
        return reply(wire::PlayOk);
    }
    case wire::RequestKind::FileExists: {
        const bool found = !repository.FindRepoFiles(Repository::RepoFileName(argument)).isEmpty();
        return reply(found ? wire::FileFound : wire::FileNotFound);
    }
    case wire::RequestKind::File:
        return beginUpload(line);
    case wire::RequestKind::Delete:
        for (const QString& path : repository.FindRepoFiles(argument))
            repository.deleteFile(path); // a file that will not go is passed over
        return reply(wire::DataOk);
    case wire::RequestKind::Time:
        if (!m_context.system.SetClock(argument))
            return {};
        return reply(wire::TimeOk);
    case wire::RequestKind::Directory: {
        Output out = reply(wire::ListingStart);
        for (const QByteArray& entry : repository.ListRepository())
            out.reply += wire::frameLine(entry);
        out.reply += wire::frameLine(wire::BodyEnd);
        return out;
    }
    case wire::RequestKind::Space:
        return reply(repository.SpaceReply());
    }
    return {};
}

bool AgentSession::templateExists(const QString& name) const
{
    // Looked up by its exact name: a wildcard would pass here and then play
    // nothing.
    const QString file = name + QStringLiteral(".mb");
    return Repository::isBareFileName(file) && !file.contains(u'*') && !file.contains(u'?') &&
           !m_context.repository.FindRepoFiles(file).isEmpty();
}

Output AgentSession::beginUpload(QByteArrayView line)
{
    const std::optional<wire::FileHeader> header = wire::parseFileLine(line);
    if (!header)
        return {};
    if (header->size < 0 || header->size >= m_context.repository.FreeUploadSpace())
        return reply(wire::FileFailed);
    std::unique_ptr<UploadFile> upload = m_context.repository.OpenUploadFile(header->name, nullptr);
    if (!upload)
        return reply(wire::FileFailed);
    if (header->size == 0)
        return reply(upload->finish(nullptr) ? wire::FileOk : wire::FileFailed);
    m_upload = std::move(upload);
    m_uploadLeft = header->size;
    m_phase = Phase::FileData;
    return reply(wire::FileOk);
}

Output AgentSession::finishTemplate()
{
    m_phase = Phase::Idle;
    QList<QByteArray> lines;
    lines.swap(m_lines);
    if (lines.isEmpty())
        return reply(wire::DataFailed);
    QStringList missing;
    if (!CheckTemplateFiles(lines, missing))
        return reply(wire::DataFailed);
    const QString name = trimmed(fromGb18030(lines.front()));
    if (!Repository::isBareFileName(name))
        return reply(wire::DataFailed);
    if (!m_context.repository.storeFile(name, joinLines(lines, 1), nullptr))
        return reply(wire::DataFailed);
    return reply(wire::DataOk);
}

Output AgentSession::finishSchedule()
{
    m_phase = Phase::Idle;
    QList<QByteArray> lines;
    lines.swap(m_lines);
    QStringList missing;
    if (!CheckScheduleModules(lines, missing))
        return reply(wire::ScheduleFailed);
    if (!m_context.repository.storeFile(TSchExecutor::playlistName(), joinLines(lines, 0), nullptr))
        return reply(wire::ScheduleFailed);
    m_context.commands.AddCmd(QStringLiteral("EXIT"));
    m_context.commands.AddCmd(QStringLiteral("SCHE"));
    return reply(wire::ScheduleOk);
}

bool AgentSession::CheckTemplateFiles(QList<QByteArray>& lines, QStringList& missing) const
{
    bool complete = true;
    for (QByteArray& line : lines) {
        if (!line.startsWith("Source_"))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals + 1);
        const QByteArrayView value = QByteArrayView(line).sliced(equals + 1);
        if (!value.startsWith("[F]"))
            continue;
        const QString name = Repository::RepoFileName(trimmed(fromGb18030(value.sliced(3))));
        if (m_context.repository.FindRepoFiles(name).isEmpty()) {
            missing << name;
            complete = false;
        }
        line = key + "[F]" + toGb18030(name);
    }
    return complete;
}

bool AgentSession::CheckScheduleModules(const QList<QByteArray>& lines, QStringList& missing) const
{
    bool complete = true;
    for (const QByteArray& line : lines) {
        if (!line.startsWith("MODULE="))
            continue;
        const QString module = trimmed(fromGb18030(QByteArrayView(line).sliced(7)));
        if (module.isEmpty())
            continue;
        if (!templateExists(module)) {
            missing << module + QStringLiteral(".mb");
            complete = false;
        }
    }
    return complete;
}

} // namespace quorvel

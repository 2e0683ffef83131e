#include "console/terminals/commandclient.h"

#include "console/terminals/lineconnection.h"
#include "console/terminals/uploadprogress.h"
#include "core/textcodec.h"
#include "core/wire.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QThread>
#include <QUdpSocket>

namespace quorvel {
namespace {

CommandResult notAnswered()
{
    return {CommandStatus::NotAnswered, {}, {}};
}

CommandResult failed(const QString& reply, const QString& error)
{
    return {CommandStatus::Failed, reply, error};
}

CommandResult fileError(const QString& error)
{
    return {CommandStatus::FileError, {}, error};
}

// An exchange that came to a reply line, judged against the word hoped for.
CommandResult expect(CommandResult result, const char* word)
{
    if (result.status != CommandStatus::Succeeded)
        return result;
    if (result.reply.isEmpty())
        result.status = CommandStatus::NotAnswered;
    else if (result.reply != QLatin1String(word))
        result.status = CommandStatus::Refused;
    return result;
}

// Any non-empty reply will do.
CommandResult anyReply(CommandResult result)
{
    if (result.status == CommandStatus::Succeeded && result.reply.isEmpty())
        result.status = CommandStatus::NotAnswered;
    return result;
}

QString bareName(const QString& path)
{
    const qsizetype slash = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(slash + 1);
}

// The lines of a template or schedule file as stored, without their line
// ends. The body ends at the first lone "." and the agent cannot read lines
// past the protocol's limit, so a file holding either is refused here
// rather than cut off, or read as requests, on the terminal.
bool readBodyLines(const QString& path, QList<QByteArray>* lines, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法读取文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    QByteArray pending;
    auto takeLine = [&](QByteArray line) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line == wire::BodyEnd) {
            *error = QStringLiteral("文件 %1 中有一行只有一个“.”，无法发送").arg(path);
            return false;
        }
        if (line.size() > wire::MaxLineBytes) {
            *error = QStringLiteral("文件 %1 中有一行太长，无法发送").arg(path);
            return false;
        }
        lines->append(line);
        return true;
    };
    while (!file.atEnd()) {
        QByteArray chunk = file.read(wire::ChunkBytes);
        if (chunk.isEmpty() && file.error() != QFileDevice::NoError) {
            *error = QStringLiteral("无法读取文件 %1：%2").arg(path, file.errorString());
            return false;
        }
        pending.append(chunk);
        qsizetype start = 0;
        for (qsizetype lf = pending.indexOf('\n'); lf >= 0; lf = pending.indexOf('\n', start)) {
            if (!takeLine(pending.mid(start, lf - start)))
                return false;
            start = lf + 1;
        }
        pending.remove(0, start);
        if (pending.size() > wire::MaxLineBytes + 1)
            return takeLine(pending);
    }
    if (!pending.isEmpty())
        return takeLine(pending);
    return true;
}

} // namespace

CommandClient::CommandClient(ClientOptions options) : m_options(std::move(options)) {}

CommandResult CommandClient::exchange(const QString& address, const QList<QByteArray>& lines,
                                      QStringList* listing) const
{
    LineConnection connection(m_options.replyTimeoutMs);
    if (!connection.connectTo(address, m_options.port, wire::ConnectTimeoutMs))
        return notAnswered();
    for (const QByteArray& line : lines)
        if (!connection.writeLine(line))
            return failed({}, connection.errorString());

    QByteArray line;
    switch (connection.readLine(&line)) {
    case LineConnection::ReadStatus::Line:
        break;
    case LineConnection::ReadStatus::TimedOut:
        return notAnswered();
    case LineConnection::ReadStatus::Failed:
        return failed({}, connection.errorString());
    }
    CommandResult result{CommandStatus::Succeeded, fromGb18030(line), {}};
    if (line != wire::ListingStart || !listing)
        return result;

    QStringList received;
    for (;;) {
        switch (connection.readLine(&line)) {
        case LineConnection::ReadStatus::Line:
            break;
        case LineConnection::ReadStatus::TimedOut:
            return failed(result.reply, QStringLiteral("终端的文件列表没有传完"));
        case LineConnection::ReadStatus::Failed:
            return failed(result.reply, connection.errorString());
        }
        if (line == wire::BodyEnd)
            break;
        received.append(fromGb18030(line));
    }
    listing->append(received);
    return result;
}

CommandResult CommandClient::SendCommand(const QString& address, const QStringList& lines,
                                         QStringList* listing) const
{
    QList<QByteArray> encoded;
    encoded.reserve(lines.size());
    for (const QString& line : lines)
        encoded.append(toGb18030(line));
    return exchange(address, encoded, listing);
}

CommandResult CommandClient::GetFileList(const QString& address, QStringList& listing) const
{
    CommandResult result = exchange(address, {wire::Directory}, &listing);
    if (result.status == CommandStatus::Succeeded) {
        if (result.reply.isEmpty())
            result.status = CommandStatus::NotAnswered;
        else if (result.reply == QLatin1String(wire::DataFailed))
            result.status = CommandStatus::Refused;
    }
    return result;
}

CommandResult CommandClient::DeleteTermFile(const QString& address, const QString& name) const
{
    return expect(SendCommand(address, {QStringLiteral("DEL,%1").arg(name)}), wire::DataOk);
}

CommandResult CommandClient::GetDiskSpace(const QString& address) const
{
    CommandResult result = anyReply(exchange(address, {wire::Space}, nullptr));
    if (result.status == CommandStatus::Succeeded &&
        !result.reply.startsWith(QLatin1String(wire::ScheduleOk) + u','))
        result.status = CommandStatus::Refused;
    return result;
}

CommandResult CommandClient::SendFile(const QString& address, const QString& localPath) const
{
    return SendFileAs(address, localPath, bareName(localPath));
}

CommandResult CommandClient::SendFileAs(const QString& address, const QString& localPath,
                                        const QString& remoteName) const
{
    if (remoteName.isEmpty() || remoteName.contains(u'"') || remoteName.contains(u'\r') ||
        remoteName.contains(u'\n'))
        return fileError(QStringLiteral("文件名“%1”不能发送到终端").arg(remoteName));
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        return fileError(QStringLiteral("无法读取文件 %1：%2").arg(localPath, file.errorString()));
    const qint64 size = file.size();
    // The request line carries the size as a signed 32-bit number.
    if (size > std::numeric_limits<qint32>::max())
        return fileError(QStringLiteral("文件 %1 不小于 2 GB，无法发送").arg(localPath));
    const QByteArray header = wire::formatFileLine(remoteName, qint32(size));
    if (header.size() > wire::MaxLineBytes)
        return fileError(QStringLiteral("文件名“%1”太长").arg(remoteName));

    CommandResult result;
    {
        LineConnection connection(m_options.replyTimeoutMs);
        if (!connection.connectTo(address, m_options.port, wire::ConnectTimeoutMs))
            return notAnswered();
        if (!connection.writeLine(header))
            return failed({}, connection.errorString());
        QByteArray reply;
        switch (connection.readLine(&reply)) {
        case LineConnection::ReadStatus::Line:
            result = expect({CommandStatus::Succeeded, fromGb18030(reply), {}}, wire::FileOk);
            break;
        case LineConnection::ReadStatus::TimedOut:
            result = notAnswered();
            break;
        case LineConnection::ReadStatus::Failed:
            return failed({}, connection.errorString());
        }
        if (result.succeeded()) {
            QByteArray chunk(wire::ChunkBytes, Qt::Uninitialized);
            qint64 left = size;
            while (left > 0) {
                const qint64 got = file.read(chunk.data(), qMin<qint64>(left, wire::ChunkBytes));
                if (got < 0)
                    return fileError(
                        QStringLiteral("无法读取文件 %1：%2").arg(localPath, file.errorString()));
                // Bytes beyond the announced size would be read as requests,
                // so a file that shrank while it was sent cannot be made good.
                if (got == 0)
                    return fileError(QStringLiteral("文件 %1 在发送时变短了").arg(localPath));
                if (!connection.writeRaw(QByteArrayView(chunk.constData(), got)))
                    return failed(result.reply, connection.errorString());
                left -= got;
            }
        }
        connection.close();
    }
    QThread::msleep(wire::PauseAfterFileMs);
    return result;
}

CommandResult CommandClient::SendSchedule(const QString& address, const QString& name) const
{
    return SendScheduleFile(address, m_options.repositoryPath + name);
}

CommandResult CommandClient::SendScheduleFile(const QString& address, const QString& path) const
{
    QList<QByteArray> lines{wire::ScheduleUpload};
    QString error;
    if (!readBodyLines(path, &lines, &error))
        return fileError(error);
    lines.append(wire::BodyEnd);
    return expect(exchange(address, lines, nullptr), wire::ScheduleOk);
}

QString CommandClient::timeText(const QDateTime& now)
{
    return now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

CommandResult CommandClient::SetTermTime(const QString& address, const QDateTime& now) const
{
    return anyReply(SendCommand(address, {QStringLiteral("TIM,") + timeText(now)}));
}

CommandResult CommandClient::ShutdownTerm(const QString& address) const
{
    return anyReply(exchange(address, {wire::Shutdown}, nullptr));
}

CommandResult CommandClient::RebootTerm(const QString& address) const
{
    return anyReply(exchange(address, {wire::Reboot}, nullptr));
}

CommandResult CommandClient::HelloTerm(const QString& address) const
{
    return anyReply(exchange(address, {wire::Hello}, nullptr));
}

CommandResult CommandClient::BeginSchedule(const QString& address) const
{
    return expect(exchange(address, {wire::Begin}, nullptr), wire::CommandOk);
}

CommandResult CommandClient::PlayTermTemplate(const QString& address, const QString& name) const
{
    return expect(SendCommand(address, {QStringLiteral("PLY,") + name}), wire::PlayOk);
}

CommandResult CommandClient::StopPlay(const QString& address) const
{
    return expect(exchange(address, {wire::Stop}, nullptr), wire::CommandOk);
}

std::optional<int> CommandClient::GetTemplateFiles(const QString& templatePath, QStringList& files,
                                                   QString* error)
{
    files.clear();
    QFile file(templatePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件 %1：%2").arg(templatePath, file.errorString());
        return std::nullopt;
    }
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        if (raw.isEmpty() && file.error() != QFileDevice::NoError) {
            if (error)
                *error = QStringLiteral("无法读取文件 %1：%2").arg(templatePath, file.errorString());
            files.clear();
            return std::nullopt;
        }
        const QString line = fromGb18030(raw);
        if (!line.startsWith(QLatin1String("Source_")))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString value = line.mid(equals + 1);
        if (value.startsWith(QLatin1String("[F]")))
            files.append(value.mid(3).trimmed());
    }
    return int(files.size());
}

QString CommandClient::uploadSucceededText()
{
    return QStringLiteral("成功");
}

QString CommandClient::uploadNoSpaceText()
{
    return QStringLiteral("目标终端上磁盘空间不足");
}

QString CommandClient::uploadUnknownErrorText()
{
    return QStringLiteral("未知错误");
}

CommandResult CommandClient::UploadTemplate(const QString& address, const QString& templatePath,
                                            UploadProgress* progress, bool overwrite, int share,
                                            QString* resultText) const
{
    QString localResult;
    QString& text = resultText ? *resultText : localResult;
    text = uploadUnknownErrorText();

    QStringList sources;
    QString error;
    if (!GetTemplateFiles(templatePath, sources, &error))
        return fileError(error);
    // Read and checked before anything goes out, so a template that cannot
    // be sent does not leave its media files behind on the terminal.
    QList<QByteArray> lines{wire::TemplateUpload, toGb18030(bareName(templatePath))};
    if (!readBodyLines(templatePath, &lines, &error))
        return fileError(error);
    lines.append(wire::BodyEnd);

    const qsizetype count = sources.size();
    for (qsizetype k = 1; k <= count; ++k) {
        const QString source = sources[k - 1].trimmed();
        if (!overwrite) {
            const CommandResult exists =
                anyReply(SendCommand(address, {QStringLiteral("FEX,") + source}));
            switch (exists.status) {
            case CommandStatus::Succeeded:
            case CommandStatus::Refused:
                break;
            case CommandStatus::NotAnswered:
            case CommandStatus::Failed:
            case CommandStatus::FileError:
                return exists;
            }
            if (exists.reply == QLatin1String(wire::FileFound))
                continue;
        }
        const CommandResult sent = SendFile(address, source);
        switch (sent.status) {
        case CommandStatus::Succeeded:
            break;
        case CommandStatus::Refused:
            text = uploadNoSpaceText();
            return sent;
        case CommandStatus::NotAnswered:
        case CommandStatus::Failed:
        case CommandStatus::FileError:
            return sent;
        }
        if (progress)
            progress->setProgress(int(share * k / count));
    }

    CommandResult stored = expect(exchange(address, lines, nullptr), wire::DataOk);
    if (stored.succeeded())
        text = uploadSucceededText();
    return stored;
}

CommandResult CommandClient::SendNotice(const QString& address) const
{
    return SendNoticeFile(address, m_options.repositoryPath + QStringLiteral("_msg.txt"));
}

CommandResult CommandClient::SendNoticeFile(const QString& address, const QString& localPath) const
{
    const CommandResult sent = SendFileAs(address, localPath, QStringLiteral("_msg.txt"));
    if (!sent.succeeded())
        return sent;
    return PlayTermTemplate(address, QStringLiteral("通知"));
}

QByteArray CommandClient::wakePacket(const MacAddress& mac)
{
    QByteArray packet(6, char(0xFF));
    for (int i = 0; i < 16; ++i)
        for (quint8 byte : mac.bytes())
            packet.append(char(byte));
    return packet;
}

QString CommandClient::broadcastAddressFor(const QString& address)
{
    const qsizetype dot = address.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    return address.left(dot + 1) + QStringLiteral("255");
}

CommandResult CommandClient::WakeTerm(const QString& address, const MacAddress& mac) const
{
    const QHostAddress target(broadcastAddressFor(address));
    if (target.isNull() || target.protocol() != QAbstractSocket::IPv4Protocol)
        return failed({}, QStringLiteral("“%1”不是 IPv4 地址，无法发送开机信号").arg(address));
    QUdpSocket socket;
    const QByteArray packet = wakePacket(mac);
    if (socket.writeDatagram(packet, target, m_options.wakePort) != packet.size())
        return failed({}, socket.errorString());
    return {CommandStatus::Succeeded, {}, {}};
}

} // namespace quorvel

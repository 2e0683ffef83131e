#pragma once

#include "console/terminals/clientoptions.h"
#include "console/terminals/commandresult.h"
#include "console/terminals/macaddress.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <optional>

namespace quorvel {

class UploadProgress;

// The console's road to a terminal: one operation per request of the agent's
// protocol, each on a connection of its own that is closed again before the
// call returns. The client holds only its options, so one client may be used
// from several threads at once. Every call blocks its thread for the whole
// exchange.
//
// Results: Succeeded when the terminal answered as hoped; Refused when it
// answered otherwise; NotAnswered when no connection stood within 1000 ms,
// no reply line came within the reply time-out, or the reply line was empty;
// Failed when the exchange broke after the connection stood; FileError when
// a local file could not be used (then nothing was sent).
class CommandClient {
public:
    explicit CommandClient(ClientOptions options = {});

    const ClientOptions& options() const { return m_options; }

    // Sends `lines` (converted to GB18030) in order and reads one reply line.
    // Succeeded whenever a reply line came, whatever it says. When the reply
    // is "DOL" and `listing` is given, the listing lines up to "." are
    // appended to it.
    CommandResult SendCommand(const QString& address, const QStringList& lines,
                              QStringList* listing = nullptr) const;

    // "DIR". Refused only on "DFA"; a terminal that does not answer leaves
    // `listing` as it was.
    CommandResult GetFileList(const QString& address, QStringList& listing) const;
    // "DEL," + name (a name or a pattern with "*" and "?").
    CommandResult DeleteTermFile(const QString& address, const QString& name) const;
    // "SPA"; the reply line is in `reply`. Succeeded on "SOK,...".
    CommandResult GetDiskSpace(const QString& address) const;
    // "FIL" with the bare name and size of `localPath`, then its bytes in
    // 8192-byte blocks read straight from the file. After an exchange that
    // connected, pauses 500 ms before returning. Files of 2 GiB and more, and
    // names the request line cannot carry, are refused before connecting.
    CommandResult SendFile(const QString& address, const QString& localPath) const;
    // The same under another name on the terminal.
    CommandResult SendFileAs(const QString& address, const QString& localPath,
                             const QString& remoteName) const;
    // "SCH", the lines of the repository's schedule `name` (with ".sch") as
    // stored, ".". Succeeded on "SOK".
    CommandResult SendSchedule(const QString& address, const QString& name) const;
    CommandResult SendScheduleFile(const QString& address, const QString& path) const;
    // "TIM," + the local time as "yyyy/MM/dd hh:mm:ss".
    CommandResult SetTermTime(const QString& address,
                              const QDateTime& now = QDateTime::currentDateTime()) const;
    CommandResult ShutdownTerm(const QString& address) const;
    CommandResult RebootTerm(const QString& address) const;
    // "HLO"; the status word is in `reply`. Succeeded on any non-empty reply.
    CommandResult HelloTerm(const QString& address) const;
    CommandResult BeginSchedule(const QString& address) const;
    CommandResult PlayTermTemplate(const QString& address, const QString& name) const;
    CommandResult StopPlay(const QString& address) const;

    // The file sources of a template: every "Source_" line whose value starts
    // with "[F]", without the tag and trimmed, in order, duplicates kept.
    // std::nullopt (and `error`) when the file cannot be read.
    static std::optional<int> GetTemplateFiles(const QString& templatePath, QStringList& files,
                                               QString* error = nullptr);

    static QString uploadSucceededText();  // "成功"
    static QString uploadNoSpaceText();    // "目标终端上磁盘空间不足"
    static QString uploadUnknownErrorText(); // "未知错误"

    // Uploads a template with the media files it plays: unless `overwrite`,
    // asks "FEX" for each and skips those the terminal holds; sends the
    // others; then sends the template with "DAT". `resultText` receives one of
    // the three upload texts: a refused file gives the disk-space text, a
    // terminal that cannot be reached or a refused template "未知错误".
    // `progress` (may be null) moves to share * k / n after file k of n.
    CommandResult UploadTemplate(const QString& address, const QString& templatePath,
                                 UploadProgress* progress, bool overwrite, int share,
                                 QString* resultText) const;

    // Sends the repository's "_msg.txt" and plays "通知"; the play request is
    // not sent when the file was not taken.
    CommandResult SendNotice(const QString& address) const;
    // The same with another local file, sent as "_msg.txt".
    CommandResult SendNoticeFile(const QString& address, const QString& localPath) const;

    // One wake-on-LAN datagram to the address's /24 broadcast address.
    // Failed when the address has no dotted last part or the send fails.
    CommandResult WakeTerm(const QString& address, const MacAddress& mac) const;

    // Six 0xFF bytes and the address sixteen times: 102 bytes.
    static QByteArray wakePacket(const MacAddress& mac);
    // The address with its last dotted part replaced by 255; empty when it
    // has no dot.
    static QString broadcastAddressFor(const QString& address);
    static QString timeText(const QDateTime& now);

private:
    CommandResult exchange(const QString& address, const QList<QByteArray>& lines,
                           QStringList* listing) const;

    ClientOptions m_options;
};

} // namespace quorvel

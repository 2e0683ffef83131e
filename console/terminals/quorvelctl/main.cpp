// quorvelctl: one command to one terminal from a shell, for scripts and cron
// jobs, over the same command client the console uses.

#include "console/terminals/commandclient.h"
#include "console/terminals/uploadprogress.h"
#include "core/dostime.h"
#include "core/textcodec.h"
#include "core/wire.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

using namespace quorvel;

namespace {

constexpr int ExitSucceeded = 0;
constexpr int ExitRefused = 1;
constexpr int ExitNotAnswered = 2;

const char* const Description = R"(Sends one command to a Quorvel terminal and prints its answer.

Commands:
  hello              ask for the status: STB (stopped) or WKG (playing)
  begin              run the stored schedule
  stop               stop the schedule and the players
  shutdown           shut the terminal down
  reboot             restart the terminal
  time               set the terminal's clock to this computer's local time
  play NAME          play the stored template NAME (without ".mb")
  dir                list the terminal's files: name, size, time of change
  space              disk size and free bytes: SOK,total,free
  del NAME           delete a file (a pattern with * and ? deletes several)
  send FILE          upload FILE under its own name
  upload TEMPLATE    upload a template (.mb) with the media files it plays;
                     files the terminal already holds are skipped unless
                     --overwrite is given
  schedule FILE      assign the schedule FILE; the terminal starts it anew
  notice FILE        send the text of FILE as the notice and play "通知"
  wake MAC           send a wake-on-LAN packet for MAC (twelve hexadecimal
                     digits, with or without "-" or ":") to ADDRESS's /24
                     broadcast address

Names and text are taken in the locale's encoding (UTF-8) and sent in
GB18030.

Exit status: 0 success; 1 refused by the terminal, or a local failure (bad
arguments, a file that cannot be read); 2 the terminal did not answer.)";

class TextProgress : public UploadProgress {
public:
    explicit TextProgress(bool enabled) : m_enabled(enabled) {}
    ~TextProgress() override { finish(); }

    void setProgress(int position) override
    {
        if (!m_enabled)
            return;
        const int width = 30;
        const int filled = qBound(0, position, 100) * width / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", QByteArray(filled, '#').constData(),
                     QByteArray(width - filled, '-').constData(), position);
        std::fflush(stderr);
        m_shown = true;
    }
    void finish()
    {
        if (m_shown)
            std::fputc('\n', stderr);
        m_shown = false;
    }

private:
    bool m_enabled;
    bool m_shown = false;
};

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

void complain(const QString& text)
{
    QTextStream err(stderr);
    err << "quorvelctl: " << text << Qt::endl;
}

int report(const QString& address, const CommandResult& result, bool printReply = true)
{
    if (printReply && !result.reply.isEmpty())
        out() << result.reply << Qt::endl;
    switch (result.status) {
    case CommandStatus::Succeeded:
        return ExitSucceeded;
    case CommandStatus::Refused:
        return ExitRefused;
    case CommandStatus::NotAnswered:
        complain(QStringLiteral("%1 did not answer").arg(address));
        return ExitNotAnswered;
    case CommandStatus::Failed:
        complain(QStringLiteral("%1: %2").arg(address, result.error));
        return ExitNotAnswered;
    case CommandStatus::FileError:
        complain(result.error);
        return ExitRefused;
    }
    return ExitRefused;
}

QString listingText(const QString& line)
{
    const auto entry = wire::parseListingLine(toGb18030(line));
    if (!entry)
        return line;
    const QDateTime changed = fromDosDateTime(entry->dosTime);
    return QStringLiteral("%1\t%2\t%3")
        .arg(entry->name)
        .arg(entry->size)
        .arg(changed.isValid() ? changed.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                               : QString::number(entry->dosTime));
}

// The notice is kept on the terminal as GB18030 text, whatever the shell uses.
int sendNotice(const CommandClient& client, const QString& address, const QString& path)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        complain(QStringLiteral("cannot read %1: %2").arg(path, source.errorString()));
        return ExitRefused;
    }
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(source.readAll());
    if (decode.hasError()) {
        complain(QStringLiteral("%1 is not UTF-8 text").arg(path));
        return ExitRefused;
    }
    QTemporaryFile converted;
    if (!converted.open() || converted.write(toGb18030(text)) < 0 || !converted.flush()) {
        complain(QStringLiteral("cannot write a temporary file: %1").arg(converted.errorString()));
        return ExitRefused;
    }
    converted.close();
    return report(address, client.SendNoticeFile(address, converted.fileName()));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvelctl"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(Description));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("The agent's TCP port (default 5004)."),
                                        QStringLiteral("N"));
    const QCommandLineOption timeoutOption(
        QStringLiteral("timeout"),
        QStringLiteral("Seconds to wait for each reply once connected (default 10)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption wakePortOption(
        QStringLiteral("wake-port"), QStringLiteral("UDP port of wake-on-LAN (default 9)."),
        QStringLiteral("N"));
    const QCommandLineOption overwriteOption(
        QStringLiteral("overwrite"),
        QStringLiteral("upload: send every media file, also those the terminal holds."));
    parser.addOptions({portOption, timeoutOption, wakePortOption, overwriteOption});
    parser.addPositionalArgument(QStringLiteral("ADDRESS"), QStringLiteral("The terminal's IPv4 address."));
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("One of the commands above."),
                                 QStringLiteral("COMMAND [ARGS]"));
    if (!parser.parse(QCoreApplication::arguments())) {
        complain(parser.errorText());
        return ExitRefused;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out() << parser.helpText();
        return ExitSucceeded;
    }

    ClientOptions options;
    auto portValue = [&](const QCommandLineOption& option, quint16* port) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        const uint value = parser.value(option).toUInt(&ok);
        if (!ok || value < 1 || value > 65535) {
            complain(QStringLiteral("not a port: %1").arg(parser.value(option)));
            return false;
        }
        *port = quint16(value);
        return true;
    };
    if (!portValue(portOption, &options.port) || !portValue(wakePortOption, &options.wakePort))
        return ExitRefused;
    if (parser.isSet(timeoutOption)) {
        bool ok = false;
        const int seconds = parser.value(timeoutOption).toInt(&ok);
        if (!ok || seconds < 1 || seconds > 86400) {
            complain(QStringLiteral("not a time-out in seconds: %1").arg(parser.value(timeoutOption)));
            return ExitRefused;
        }
        options.replyTimeoutMs = seconds * 1000;
    }

    const QStringList args = parser.positionalArguments();
    if (args.size() < 2) {
        complain(QStringLiteral("an address and a command are needed (see --help)"));
        return ExitRefused;
    }
    const QString address = args[0];
    const QString command = args[1];
    const QStringList rest = args.mid(2);
    static const QStringList oneArgument{QStringLiteral("play"),     QStringLiteral("del"),
                                         QStringLiteral("send"),     QStringLiteral("upload"),
                                         QStringLiteral("schedule"), QStringLiteral("notice"),
                                         QStringLiteral("wake")};
    const qsizetype wanted = oneArgument.contains(command) ? 1 : 0;
    if (rest.size() != wanted) {
        complain(QStringLiteral("%1 takes %2 argument(s) (see --help)").arg(command).arg(wanted));
        return ExitRefused;
    }
    const QString argument = rest.value(0);
    const CommandClient client(options);

    if (command == u"hello")
        return report(address, client.HelloTerm(address));
    if (command == u"begin")
        return report(address, client.BeginSchedule(address));
    if (command == u"stop")
        return report(address, client.StopPlay(address));
    if (command == u"shutdown")
        return report(address, client.ShutdownTerm(address));
    if (command == u"reboot")
        return report(address, client.RebootTerm(address));
    if (command == u"time")
        return report(address, client.SetTermTime(address));
    if (command == u"play")
        return report(address, client.PlayTermTemplate(address, argument));
    if (command == u"space")
        return report(address, client.GetDiskSpace(address));
    if (command == u"del")
        return report(address, client.DeleteTermFile(address, argument));
    if (command == u"send")
        return report(address, client.SendFile(address, argument));
    if (command == u"schedule")
        return report(address, client.SendScheduleFile(address, argument));
    if (command == u"notice")
        return sendNotice(client, address, argument);
    if (command == u"dir") {
        QStringList listing;
        const CommandResult result = client.GetFileList(address, listing);
        if (result.status == CommandStatus::Succeeded && result.reply != QLatin1String(wire::ListingStart))
            return report(address, {CommandStatus::Refused, result.reply, {}});
        for (const QString& line : std::as_const(listing))
            out() << listingText(line) << Qt::endl;
        return report(address, result, result.status != CommandStatus::Succeeded);
    }
    if (command == u"upload") {
        TextProgress progress(isatty(fileno(stderr)));
        QString text;
        const CommandResult result =
            client.UploadTemplate(address, argument, &progress, parser.isSet(overwriteOption), 100, &text);
        progress.finish();
        out() << text << Qt::endl;
        return report(address, result, false);
    }
    if (command == u"wake") {
        const auto mac = MacAddress::fromText(argument);
        if (!mac) {
            complain(QStringLiteral("not a physical address: %1").arg(argument));
            return ExitRefused;
        }
        return report(address, client.WakeTerm(address, *mac));
    }
    complain(QStringLiteral("unknown command: %1 (see --help)").arg(command));
    return ExitRefused;
}

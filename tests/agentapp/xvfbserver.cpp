#include "tests/agentapp/xvfbserver.h"

#include "platform/windows/x11windowsystem.h"
#include "tests/agentapp/waituntil.h"

#include <QStandardPaths>

XvfbServer::~XvfbServer()
{
    stopWindowManager();
    if (m_server) {
        m_server->terminate();
        if (!m_server->waitForFinished(5000))
            m_server->kill();
        m_server->waitForFinished(5000);
    }
}

bool XvfbServer::start(QString* error, const QString& screen)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) {
        *error = QStringLiteral("Xvfb is not installed");
        return false;
    }
    m_server = std::make_unique<QProcess>();
    m_server->setProcessChannelMode(QProcess::SeparateChannels);
    // -displayfd picks a free display number and writes it to standard output
    // once the server accepts connections.
    m_server->start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                              QStringLiteral("-screen"), QStringLiteral("0"), screen,
                              QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_server->waitForStarted(10000)) {
        *error = QStringLiteral("Xvfb did not start: %1").arg(m_server->errorString());
        return false;
    }
    QByteArray number;
    const bool done = waitUntil([&] {
        m_server->waitForReadyRead(100);
        number += m_server->readAllStandardOutput();
        return number.contains('\n') || m_server->state() != QProcess::Running;
    }, 20000);
    if (!done || !number.contains('\n')) {
        *error = QStringLiteral("Xvfb gave no display number: %1")
                     .arg(QString::fromLocal8Bit(m_server->readAllStandardError()));
        return false;
    }
    m_display = ":" + number.trimmed();
    return true;
}

bool XvfbServer::startWindowManager(QString* error)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (program.isEmpty()) {
        *error = QStringLiteral("openbox is not installed");
        return false;
    }
    m_windowManager = std::make_unique<QProcess>();
    m_windowManager->setProcessEnvironment(environment());
    m_windowManager->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager->start(program, {QStringLiteral("--sm-disable")});
    if (!m_windowManager->waitForStarted(10000)) {
        *error = QStringLiteral("openbox did not start: %1").arg(m_windowManager->errorString());
        return false;
    }
    // Openbox names itself on the root window before it has taken the
    // screen, and a window mapped in between is never managed; it is ready
    // once it has published its client list.
    quorvel::X11WindowSystem windows(m_display);
    auto ready = [&] {
        if (!windows.hasWindowManager())
            return false;
        QProcess xprop;
        xprop.start(QStringLiteral("xprop"), {QStringLiteral("-display"), QString::fromLatin1(m_display),
                                              QStringLiteral("-root"),
                                              QStringLiteral("_NET_CLIENT_LIST_STACKING")});
        return xprop.waitForFinished(5000) && xprop.readAllStandardOutput().contains("WINDOW");
    };
    if (!waitUntil(ready, 20000)) {
        *error = QStringLiteral("openbox did not take the screen");
        return false;
    }
    return true;
}

void XvfbServer::stopWindowManager()
{
    if (!m_windowManager)
        return;
    m_windowManager->terminate();
    if (!m_windowManager->waitForFinished(5000))
        m_windowManager->kill();
    m_windowManager->waitForFinished(5000);
    m_windowManager.reset();
}

QProcessEnvironment XvfbServer::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_display));
    env.remove(QStringLiteral("XAUTHORITY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env;
}

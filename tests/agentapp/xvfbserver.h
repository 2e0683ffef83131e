#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <memory>

// A virtual X server of the test's own, on a display number that was free,
// with a window manager (openbox) when a test asks for one. Ends both when
// it goes.
class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool start(QString* error, const QString& screen = QStringLiteral("1024x768x24"));
    QByteArray display() const { return m_display; }

    // Starts openbox and waits until it manages the screen.
    bool startWindowManager(QString* error);
    void stopWindowManager();

    // The environment for a program that is to show its windows here.
    QProcessEnvironment environment() const;

private:
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_windowManager;
    QByteArray m_display;
};

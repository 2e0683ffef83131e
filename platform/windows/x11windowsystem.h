#pragma once

#include "platform/windows/windowsystem.h"

#include <QByteArray>
#include <mutex>

struct xcb_connection_t;

namespace quorvel {

// The window layer over X11 (xcb). Top-level windows are the clients that a
// running window manager lists in _NET_CLIENT_LIST(_STACKING); with no window
// manager (or one that keeps no such list) they are the mapped children of
// the root window, or under a reparenting manager the client window inside
// each frame (the one that carries WM_STATE).
//
// One connection, opened on first use and opened again after the server
// dropped it, serves every thread; a mutex keeps the calls one at a time.
class X11WindowSystem final : public WindowSystem {
public:
    // `display` as in $DISPLAY; empty for the environment's own.
    explicit X11WindowSystem(QByteArray display = {});
    ~X11WindowSystem() override;
    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    bool isAvailable(QString* reason = nullptr) override;
    std::vector<WindowInfo> topLevelWindows() override;
    std::optional<WindowId> findByTitle(const QString& title) override;
    std::optional<WindowId> findFirstByClass(const QString& className) override;
    bool requestClose(WindowId window) override;
    bool moveResize(WindowId window, const QRect& geometry) override;
    bool makeTopmost(WindowId window) override;
    bool setWindowClass(WindowId window, const QString& instanceName,
                        const QString& className) override;

    // True when a window manager that follows the EWMH is running now.
    bool hasWindowManager();

private:
    struct Atoms;
    bool connectLocked(QString* reason);
    bool windowManagerLocked();
    std::vector<WindowId> clientWindowsLocked();
    std::vector<WindowInfo> describeLocked(const std::vector<WindowId>& windows, bool withGeometry);

    QByteArray m_display;
    std::mutex m_mutex;
    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
    Atoms* m_atoms = nullptr;
};

} // namespace quorvel

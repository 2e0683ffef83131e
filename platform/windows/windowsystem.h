#pragma once

#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace quorvel {

// A top-level window of the desktop, as the window system names it.
using WindowId = uint32_t;

struct WindowInfo {
    WindowId id = 0;
    QString title;        // _NET_WM_NAME, else WM_NAME
    QString instanceName; // first part of WM_CLASS
    QString className;    // second part of WM_CLASS
    QRect geometry;       // client area in screen coordinates
};

// The few things the agent does with other programs' windows: find them by
// title or class, ask them to close, move them and keep one on top.
//
// Implementations are safe to call from any thread at the same time: the
// agent asks for its players' windows on the connection threads as well as on
// the main thread. Title and class comparisons ignore letter case, as window
// lookups on the terminals always have.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Empty when the window system cannot be reached; `reason` says why.
    virtual bool isAvailable(QString* reason = nullptr) = 0;

    // Top-level windows from the bottom of the stack to the top.
    virtual std::vector<WindowInfo> topLevelWindows() = 0;

    virtual std::optional<WindowId> findByTitle(const QString& title) = 0;
    virtual std::optional<WindowId> findFirstByClass(const QString& className) = 0;

    // Asks the window's owner to close it, as the window manager's close
    // button would; the owner decides. False when the request could not be
    // sent (no such window, no connection).
    virtual bool requestClose(WindowId window) = 0;

    virtual bool moveResize(WindowId window, const QRect& geometry) = 0;
    // Keeps the window above normal windows and raises it now.
    virtual bool makeTopmost(WindowId window) = 0;

    // Names one of our own windows so that others can find it by class.
    virtual bool setWindowClass(WindowId window, const QString& instanceName,
                                const QString& className) = 0;
};

} // namespace quorvel

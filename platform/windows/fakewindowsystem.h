#pragma once

#include "platform/windows/windowsystem.h"

#include <functional>
#include <mutex>

namespace quorvel {

// An in-memory desktop for tests of code that looks for, closes and moves
// windows without a display. Windows are listed in the order they were added
// (bottom to top); a close request reaches the window's handler, which may
// remove the window (it closes) or keep it (it refuses).
class FakeWindowSystem final : public WindowSystem {
public:
    using CloseHandler = std::function<bool(WindowId)>; // true: the window goes

    WindowId addWindow(const QString& title, const QString& className = {},
                       const QRect& geometry = {});
    void removeWindow(WindowId window);
    // By default a window closes when asked.
    void setCloseHandler(WindowId window, CloseHandler handler);
    void setAvailable(bool available) { m_available = available; }

    int closeRequests(WindowId window) const;
    bool isTopmost(WindowId window) const;

    bool isAvailable(QString* reason = nullptr) override;
    std::vector<WindowInfo> topLevelWindows() override;
    std::optional<WindowId> findByTitle(const QString& title) override;
    std::optional<WindowId> findFirstByClass(const QString& className) override;
    bool requestClose(WindowId window) override;
    bool moveResize(WindowId window, const QRect& geometry) override;
    bool makeTopmost(WindowId window) override;
    bool setWindowClass(WindowId window, const QString& instanceName,
                        const QString& className) override;

private:
    struct Entry {
        WindowInfo info;
        CloseHandler onClose;
        int closeRequests = 0;
        bool topmost = false;
    };
    Entry* findLocked(WindowId window);
    const Entry* findLocked(WindowId window) const;

    mutable std::mutex m_mutex;
    std::vector<Entry> m_windows;
    WindowId m_nextId = 0x100;
    bool m_available = true;
};

} // namespace quorvel

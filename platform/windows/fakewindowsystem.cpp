#include "platform/windows/fakewindowsystem.h"

#include <algorithm>

namespace quorvel {

FakeWindowSystem::Entry* FakeWindowSystem::findLocked(WindowId window)
{
    auto it = std::find_if(m_windows.begin(), m_windows.end(),
                           [window](const Entry& e) { return e.info.id == window; });
    return it == m_windows.end() ? nullptr : &*it;
}

const FakeWindowSystem::Entry* FakeWindowSystem::findLocked(WindowId window) const
{
    return const_cast<FakeWindowSystem*>(this)->findLocked(window);
}

WindowId FakeWindowSystem::addWindow(const QString& title, const QString& className,
                                     const QRect& geometry)
{
    std::lock_guard lock(m_mutex);
    Entry entry;
    entry.info.id = m_nextId++;
    entry.info.title = title;
    entry.info.className = className;
    entry.info.geometry = geometry;
    m_windows.push_back(entry);
    return entry.info.id;
}

void FakeWindowSystem::removeWindow(WindowId window)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_windows, [window](const Entry& e) { return e.info.id == window; });
}

void FakeWindowSystem::setCloseHandler(WindowId window, CloseHandler handler)
{
    std::lock_guard lock(m_mutex);
    if (Entry* entry = findLocked(window))
        entry->onClose = std::move(handler);
}

int FakeWindowSystem::closeRequests(WindowId window) const
{
    std::lock_guard lock(m_mutex);
    const Entry* entry = findLocked(window);
    return entry ? entry->closeRequests : 0;
}

bool FakeWindowSystem::isTopmost(WindowId window) const
{
    std::lock_guard lock(m_mutex);
    const Entry* entry = findLocked(window);
    return entry && entry->topmost;
}

bool FakeWindowSystem::isAvailable(QString* reason)
{
    if (!m_available && reason)
        *reason = QStringLiteral("no window system");
    return m_available;
}

std::vector<WindowInfo> FakeWindowSystem::topLevelWindows()
{
    std::lock_guard lock(m_mutex);
    std::vector<WindowInfo> result;
    if (!m_available)
        return result;
    for (const Entry& entry : m_windows)
        result.push_back(entry.info);
    return result;
}

std::optional<WindowId> FakeWindowSystem::findByTitle(const QString& title)
{
    const std::vector<WindowInfo> windows = topLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (it->title.compare(title, Qt::CaseInsensitive) == 0)
            return it->id;
    return std::nullopt;
}

std::optional<WindowId> FakeWindowSystem::findFirstByClass(const QString& className)
{
    const std::vector<WindowInfo> windows = topLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (it->className.compare(className, Qt::CaseInsensitive) == 0)
            return it->id;
    return std::nullopt;
}

bool FakeWindowSystem::requestClose(WindowId window)
{
    CloseHandler handler;
    {
        std::lock_guard lock(m_mutex);
        Entry* entry = m_available ? findLocked(window) : nullptr;
        if (!entry)
            return false;
        ++entry->closeRequests;
        handler = entry->onClose;
    }
    // The handler runs unlocked: a real window's owner answers on its own.
    if (!handler || handler(window))
        removeWindow(window);
    return true;
}

bool FakeWindowSystem::moveResize(WindowId window, const QRect& geometry)
{
    std::lock_guard lock(m_mutex);
    Entry* entry = m_available ? findLocked(window) : nullptr;
    if (!entry || geometry.isEmpty())
        return false;
    entry->info.geometry = geometry;
    return true;
}

bool FakeWindowSystem::makeTopmost(WindowId window)
{
    std::lock_guard lock(m_mutex);
    Entry* entry = m_available ? findLocked(window) : nullptr;
    if (!entry)
        return false;
    entry->topmost = true;
    // Raised: it moves to the top of the stack.
    Entry moved = *entry;
    std::erase_if(m_windows, [window](const Entry& e) { return e.info.id == window; });
    m_windows.push_back(moved);
    return true;
}

bool FakeWindowSystem::setWindowClass(WindowId window, const QString& instanceName,
                                      const QString& className)
{
    std::lock_guard lock(m_mutex);
    Entry* entry = m_available ? findLocked(window) : nullptr;
    if (!entry)
        return false;
    entry->info.instanceName = instanceName;
    entry->info.className = className;
    return true;
}

} // namespace quorvel

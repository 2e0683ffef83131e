#include "platform/windows/x11windowsystem.h"

#include <QList>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>

namespace quorvel {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

constexpr uint32_t NetWmStateAdd = 1;
constexpr uint32_t SourceApplication = 1;
constexpr int MaxFrameDepth = 4;

QString decodeName(const xcb_get_property_reply_t* reply, xcb_atom_t utf8)
{
    if (!reply || reply->format != 8)
        return {};
    const int length = xcb_get_property_value_length(reply);
    if (length <= 0)
        return {};
    const char* data = static_cast<const char*>(xcb_get_property_value(reply));
    QByteArray bytes(data, length);
    // Some clients end the name with a NUL; it is not part of the title.
    while (bytes.endsWith('\0'))
        bytes.chop(1);
    if (reply->type == utf8)
        return QString::fromUtf8(bytes);
    return QString::fromLatin1(bytes);
}

} // namespace

struct X11WindowSystem::Atoms {
    xcb_atom_t wmProtocols = XCB_ATOM_NONE;
    xcb_atom_t wmDeleteWindow = XCB_ATOM_NONE;
    xcb_atom_t wmState = XCB_ATOM_NONE;
    xcb_atom_t utf8String = XCB_ATOM_NONE;
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t netClientList = XCB_ATOM_NONE;
    xcb_atom_t netClientListStacking = XCB_ATOM_NONE;
    xcb_atom_t netSupportingWmCheck = XCB_ATOM_NONE;
    xcb_atom_t netWmState = XCB_ATOM_NONE;
    xcb_atom_t netWmStateAbove = XCB_ATOM_NONE;
};

X11WindowSystem::X11WindowSystem(QByteArray display) : m_display(std::move(display)) {}

X11WindowSystem::~X11WindowSystem()
{
    if (m_connection)
        xcb_disconnect(m_connection);
    delete m_atoms;
}

bool X11WindowSystem::connectLocked(QString* reason)
{
    if (m_connection && !xcb_connection_has_error(m_connection))
        return true;
    if (m_connection) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
    int screenNumber = 0;
    xcb_connection_t* connection =
        xcb_connect(m_display.isEmpty() ? nullptr : m_display.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        if (reason) {
            const QByteArray shown = m_display.isEmpty() ? qgetenv("DISPLAY") : m_display;
            *reason = QStringLiteral("cannot open X display \"%1\"").arg(QString::fromLocal8Bit(shown));
        }
        return false;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(connection);
        if (reason)
            *reason = QStringLiteral("the X display has no screen %1").arg(screenNumber);
        return false;
    }
    m_root = it.data->root;

    static constexpr const char* names[] = {
        "WM_PROTOCOLS",          "WM_DELETE_WINDOW",        "WM_STATE",
        "UTF8_STRING",           "_NET_WM_NAME",            "_NET_CLIENT_LIST",
        "_NET_CLIENT_LIST_STACKING", "_NET_SUPPORTING_WM_CHECK", "_NET_WM_STATE",
        "_NET_WM_STATE_ABOVE",
    };
    constexpr size_t count = sizeof(names) / sizeof(names[0]);
    xcb_intern_atom_cookie_t cookies[count];
    for (size_t i = 0; i < count; ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(std::strlen(names[i])), names[i]);
    xcb_atom_t values[count];
    for (size_t i = 0; i < count; ++i) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
        values[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    if (!m_atoms)
        m_atoms = new Atoms;
    *m_atoms = Atoms{values[0], values[1], values[2], values[3], values[4],
                     values[5], values[6], values[7], values[8], values[9]};
    m_connection = connection;
    return true;
}

bool X11WindowSystem::isAvailable(QString* reason)
{
    std::lock_guard lock(m_mutex);
    return connectLocked(reason);
}

bool X11WindowSystem::hasWindowManager()
{
    std::lock_guard lock(m_mutex);
    return connectLocked(nullptr) && windowManagerLocked();
}

// A manager leaves _NET_SUPPORTING_WM_CHECK on the root behind when it ends;
// only a check window that still exists and names itself proves it is alive.
bool X11WindowSystem::windowManagerLocked()
{
    auto readCheck = [this](xcb_window_t window) -> xcb_window_t {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, m_atoms->netSupportingWmCheck,
                             XCB_ATOM_WINDOW, 0, 1),
            nullptr));
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
            return XCB_WINDOW_NONE;
        return *static_cast<xcb_window_t*>(xcb_get_property_value(reply.get()));
    };
    const xcb_window_t check = readCheck(m_root);
    return check != XCB_WINDOW_NONE && readCheck(check) == check;
}

std::vector<WindowId> X11WindowSystem::clientWindowsLocked()
{
    std::vector<WindowId> result;
    if (windowManagerLocked()) {
        for (xcb_atom_t list : {m_atoms->netClientListStacking, m_atoms->netClientList}) {
            Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
                m_connection,
                xcb_get_property(m_connection, 0, m_root, list, XCB_ATOM_WINDOW, 0, 65536),
                nullptr));
            if (!reply || reply->format != 32)
                continue;
            const int n = xcb_get_property_value_length(reply.get()) / 4;
            const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
            if (n > 0) {
                result.assign(ids, ids + n);
                return result;
            }
        }
        // A manager that keeps no list: fall through to the tree.
    }

    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
    if (!tree)
        return result;
    const int n = xcb_query_tree_children_length(tree.get());
    const xcb_window_t* children = xcb_query_tree_children(tree.get());

    std::vector<xcb_get_window_attributes_cookie_t> attributeCookies(n);
    for (int i = 0; i < n; ++i)
        attributeCookies[i] = xcb_get_window_attributes(m_connection, children[i]);

    auto hasWmState = [this](xcb_window_t window) {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, m_atoms->wmState, XCB_ATOM_ANY, 0, 0),
            nullptr));
        return reply && reply->type != XCB_ATOM_NONE;
    };
    // The client inside a frame of a manager that keeps no client list.
    auto clientIn = [&](xcb_window_t frame) -> xcb_window_t {
        std::deque<std::pair<xcb_window_t, int>> queue{{frame, 0}};
        while (!queue.empty()) {
            auto [window, depth] = queue.front();
            queue.pop_front();
            if (hasWmState(window))
                return window;
            if (depth >= MaxFrameDepth)
                continue;
            Reply<xcb_query_tree_reply_t> sub(
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
            if (!sub)
                continue;
            const int m = xcb_query_tree_children_length(sub.get());
            const xcb_window_t* kids = xcb_query_tree_children(sub.get());
            for (int k = 0; k < m; ++k)
                queue.emplace_back(kids[k], depth + 1);
        }
        return XCB_WINDOW_NONE;
    };

    for (int i = 0; i < n; ++i) {
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(m_connection, attributeCookies[i], nullptr));
        // Menus, tool tips and hidden helper windows are not top-level windows
        // of a program.
        if (!attributes || attributes->override_redirect ||
            attributes->map_state == XCB_MAP_STATE_UNMAPPED)
            continue;
        const xcb_window_t client = clientIn(children[i]);
        result.push_back(client != XCB_WINDOW_NONE ? client : children[i]);
    }
    return result;
}

std::vector<WindowInfo> X11WindowSystem::describeLocked(const std::vector<WindowId>& windows,
                                                        bool withGeometry)
{
    const size_t n = windows.size();
    std::vector<xcb_get_property_cookie_t> netName(n), name(n), wmClass(n);
    std::vector<xcb_get_geometry_cookie_t> geometry(withGeometry ? n : 0);
    std::vector<xcb_translate_coordinates_cookie_t> origin(withGeometry ? n : 0);
    for (size_t i = 0; i < n; ++i) {
        netName[i] = xcb_get_property(m_connection, 0, windows[i], m_atoms->netWmName,
                                      m_atoms->utf8String, 0, 4096);
        name[i] = xcb_get_property(m_connection, 0, windows[i], XCB_ATOM_WM_NAME, XCB_ATOM_ANY,
                                   0, 4096);
        wmClass[i] = xcb_get_property(m_connection, 0, windows[i], XCB_ATOM_WM_CLASS,
                                      XCB_ATOM_STRING, 0, 4096);
        if (withGeometry) {
            geometry[i] = xcb_get_geometry(m_connection, windows[i]);
            origin[i] = xcb_translate_coordinates(m_connection, windows[i], m_root, 0, 0);
        }
    }
    std::vector<WindowInfo> result;
    result.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        Reply<xcb_get_property_reply_t> netNameReply(
            xcb_get_property_reply(m_connection, netName[i], nullptr));
        Reply<xcb_get_property_reply_t> nameReply(
            xcb_get_property_reply(m_connection, name[i], nullptr));
        Reply<xcb_get_property_reply_t> classReply(
            xcb_get_property_reply(m_connection, wmClass[i], nullptr));
        Reply<xcb_get_geometry_reply_t> geometryReply(
            withGeometry ? xcb_get_geometry_reply(m_connection, geometry[i], nullptr) : nullptr);
        Reply<xcb_translate_coordinates_reply_t> originReply(
            withGeometry ? xcb_translate_coordinates_reply(m_connection, origin[i], nullptr)
                         : nullptr);
        // A window that went away between the listing and now has no
        // attributes left; it is no longer a window.
        if (!classReply && !nameReply)
            continue;

        WindowInfo info;
        info.id = windows[i];
        info.title = decodeName(netNameReply.get(), m_atoms->utf8String);
        if (info.title.isEmpty())
            info.title = decodeName(nameReply.get(), m_atoms->utf8String);
        if (classReply && classReply->format == 8) {
            const int length = xcb_get_property_value_length(classReply.get());
            const char* data = static_cast<const char*>(xcb_get_property_value(classReply.get()));
            const QList<QByteArray> parts = QByteArray(data, length).split('\0');
            if (!parts.isEmpty())
                info.instanceName = QString::fromLatin1(parts.value(0));
            info.className = QString::fromLatin1(parts.value(1));
        }
        if (geometryReply && originReply)
            info.geometry = QRect(originReply->dst_x, originReply->dst_y, geometryReply->width,
                                  geometryReply->height);
        result.push_back(std::move(info));
    }
    return result;
}

std::vector<WindowInfo> X11WindowSystem::topLevelWindows()
{
    std::lock_guard lock(m_mutex);
    if (!connectLocked(nullptr))
        return {};
    return describeLocked(clientWindowsLocked(), true);
}

std::optional<WindowId> X11WindowSystem::findByTitle(const QString& title)
{
    std::lock_guard lock(m_mutex);
    if (!connectLocked(nullptr))
        return std::nullopt;
    // The topmost of several windows of the same title is the one found.
    const std::vector<WindowInfo> windows = describeLocked(clientWindowsLocked(), false);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (it->title.compare(title, Qt::CaseInsensitive) == 0)
            return it->id;
    return std::nullopt;
}

std::optional<WindowId> X11WindowSystem::findFirstByClass(const QString& className)
{
    std::lock_guard lock(m_mutex);
    if (!connectLocked(nullptr))
        return std::nullopt;
    const std::vector<WindowInfo> windows = describeLocked(clientWindowsLocked(), false);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (it->className.compare(className, Qt::CaseInsensitive) == 0)
            return it->id;
    return std::nullopt;
}

bool X11WindowSystem::requestClose(WindowId window)
{
    std::lock_guard lock(m_mutex);
    if (!connectLocked(nullptr))
        return false;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = m_atoms->wmProtocols;
    event.data.data32[0] = m_atoms->wmDeleteWindow;
    event.data.data32[1] = XCB_CURRENT_TIME;
    // With an empty event mask the message goes to the window's creator.
    Reply<xcb_generic_error_t> error(xcb_request_check(
        m_connection, xcb_send_event_checked(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                             reinterpret_cast<const char*>(&event))));
    return !error;
}

bool X11WindowSystem::moveResize(WindowId window, const QRect& geometry)
{
    std::lock_guard lock(m_mutex);
    if (!connectLocked(nullptr) || geometry.width() <= 0 || geometry.height() <= 0)
        return false;
    const uint32_t values[] = {uint32_t(geometry.x()), uint32_t(geometry.y()),
                               uint32_t(geometry.width()), uint32_t(geometry.height())};
    Reply<xcb_generic_error_t> error(xcb_request_check(
        m_connection,
        xcb_configure_window_checked(m_connection, window,
                                     XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y |
                                         XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                                     values)));
    return !error;
}

bool X11WindowSystem::makeTopmost(WindowId window)
{
    std::lock_guard lock(m_mutex);
    if (!connectLocked(nullptr))
        return false;
    if (windowManagerLocked()) {
        // The manager owns the stacking: ask it for the "above" layer.
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = m_atoms->netWmState;
        event.data.data32[0] = NetWmStateAdd;
        event.data.data32[1] = m_atoms->netWmStateAbove;
        event.data.data32[2] = 0;
        event.data.data32[3] = SourceApplication;
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    } else {
        // Without a manager nothing keeps a layer; leave the state for a
        // manager that starts later, and raise the window now.
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_atoms->netWmState,
                            XCB_ATOM_ATOM, 32, 1, &m_atoms->netWmStateAbove);
    }
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    Reply<xcb_generic_error_t> error(xcb_request_check(
        m_connection, xcb_configure_window_checked(m_connection, window,
                                                   XCB_CONFIG_WINDOW_STACK_MODE, &above)));
    return !error;
}

bool X11WindowSystem::setWindowClass(WindowId window, const QString& instanceName,
                                     const QString& className)
{
    std::lock_guard lock(m_mutex);
    if (!connectLocked(nullptr))
        return false;
    QByteArray value = instanceName.toLatin1();
    value.append('\0');
    value.append(className.toLatin1());
    value.append('\0');
    Reply<xcb_generic_error_t> error(xcb_request_check(
        m_connection, xcb_change_property_checked(m_connection, XCB_PROP_MODE_REPLACE, window,
                                                  XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                                                  uint32_t(value.size()), value.constData())));
    return !error;
}

} // namespace quorvel

// A stand-in for the per-window player "browser": it opens one X11 window
// titled "sgPlayer<number>" at the window's rectangle of the template and ends
// when the window is asked to close. It notes each start and each close in
// the file named by $QUORVEL_TEST_PLAYER_LOG, so tests can check what the
// agent started, in which order and with which arguments.
//
//   browser <mode> <number> <template>
//
// $QUORVEL_TEST_PLAYER_REFUSE lists window numbers (comma-separated, or
// "all") whose window ignores close requests, as a hung player would.

#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string trim(const std::string& s)
{
    const auto begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return {};
    const auto end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

// The value of key in [section] of an INI file, or empty.
std::string readIni(const std::string& path, const std::string& section, const std::string& key)
{
    std::ifstream in(path);
    std::string line, current;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = lower(line.substr(1, line.size() - 2));
            continue;
        }
        const auto eq = line.find('=');
        if (current == lower(section) && eq != std::string::npos &&
            lower(trim(line.substr(0, eq))) == lower(key))
            return trim(line.substr(eq + 1));
    }
    return {};
}

void note(const std::string& what)
{
    const char* log = std::getenv("QUORVEL_TEST_PLAYER_LOG");
    if (!log || !*log)
        return;
    // One write per line with O_APPEND semantics keeps lines of players that
    // start together whole.
    if (FILE* f = std::fopen(log, "a")) {
        std::fputs((what + "\n").c_str(), f);
        std::fclose(f);
    }
}

bool refuses(int number)
{
    const char* list = std::getenv("QUORVEL_TEST_PLAYER_REFUSE");
    if (!list)
        return false;
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ','))
        if (trim(item) == "all" || trim(item) == std::to_string(number))
            return true;
    return false;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <mode> <number> <template>\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1], numberText = argv[2], templateName = argv[3];
    const int number = std::atoi(numberText.c_str());
    char cwd[4096] = "";
    if (!getcwd(cwd, sizeof cwd))
        cwd[0] = '\0';
    const std::string pid = std::to_string(getpid());
    note("start\t" + pid + "\t" + mode + "\t" + numberText + "\t" + templateName + "\t" + cwd);

    int x = 40 * number, y = 40 * number, width = 200, height = 150;
    int left, top, right, bottom;
    const std::string rect = readIni(templateName, "Window" + numberText, "Rectangle");
    if (std::sscanf(rect.c_str(), "%d,%d,%d,%d", &left, &top, &right, &bottom) == 4 &&
        right > left && bottom > top) {
        x = left, y = top, width = right - left, height = bottom - top;
    }
    static const uint32_t palette[] = {0x3060c0, 0xc04030, 0x30a050, 0xd0a020, 0x8040b0, 0x20a0b0};
    uint32_t colour = palette[number % 6];
    const std::string bg = readIni(templateName, "Window" + numberText, "BgColor");
    if (!bg.empty() && std::atol(bg.c_str()) > 0) {
        // The template keeps colours as 0x00BBGGRR.
        const uint32_t v = uint32_t(std::atol(bg.c_str()));
        colour = ((v & 0xff) << 16) | (v & 0xff00) | ((v >> 16) & 0xff);
    }

    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        note("nodisplay\t" + pid + "\t" + numberText);
        return 1;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    xcb_screen_t* screen = it.data;

    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {colour, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, int16_t(x), int16_t(y),
                      uint16_t(width), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    const std::string title = "sgPlayer" + numberText;
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        uint32_t(title.size()), title.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_NAME"), utf8, 8,
                        uint32_t(title.size()), title.data());
    static const char wmClass[] = "browser\0Browser";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof wmClass, wmClass);
    const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(c, "WM_DELETE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, protocols, XCB_ATOM_ATOM, 32, 1,
                        &deleteWindow);
    // Keep the position asked for, also under a window manager.
    uint32_t sizeHints[18] = {};
    sizeHints[0] = (1 << 0) | (1 << 1) | (1 << 2) | (1 << 3); // US position and size, P*
    sizeHints[1] = uint32_t(x), sizeHints[2] = uint32_t(y);
    sizeHints[3] = uint32_t(width), sizeHints[4] = uint32_t(height);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, sizeHints);
    xcb_map_window(c, window);
    xcb_flush(c);

    const bool stubborn = refuses(number);
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CLIENT_MESSAGE) {
            auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (message->type == protocols && message->data.data32[0] == deleteWindow) {
                if (stubborn) {
                    note("refused\t" + pid + "\t" + numberText);
                } else {
                    note("close\t" + pid + "\t" + numberText);
                    std::free(event);
                    break;
                }
            }
        }
        std::free(event);
    }
    xcb_disconnect(c);
    return 0;
}

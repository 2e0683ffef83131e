#pragma once

#include "console/model/windowrec.h"

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace quorvel {

class ProfileFile;

// How a panel or splitter fills its container, as "Align" stores it.
enum class PanelAlign { None = 0, Top = 1, Bottom = 2, Left = 3, Right = 4, Client = 5 };

// One [Panel<n>] section. The rectangle is relative to the container.
struct PanelLayout {
    int number = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int parent = 0; // number of the containing panel, 0 for the template's screen
    PanelAlign align = PanelAlign::None;
    int showId = 0; // window shown, 0 for a panel holding other panels
    bool hasSplitter = false;
    PanelAlign splitterAlign = PanelAlign::None;

    friend bool operator==(const PanelLayout&, const PanelLayout&) = default;
};

// [Common] and the panels, panels[i] being panel i + 1.
struct TemplateLayout {
    int width = 800;
    int height = 600;
    int windowsNumber = 0;
    std::vector<PanelLayout> panels;

    friend bool operator==(const TemplateLayout&, const TemplateLayout&) = default;
};

// A whole template: the layout and one record for every window 1..N.
struct TemplateContent {
    TemplateLayout layout;
    std::map<int, WindowRecPtr> windows;
};

inline const QString ScreenName = QStringLiteral("ModelForm");

// Why `layout` breaks the numbering rules, or empty when it keeps them:
// panels 1..P each inside the screen or a lower-numbered panel that shows no
// window, every window 1..N shown by exactly one panel, no empty leaf.
QString layoutNumberingError(const TemplateLayout& layout);

// Reads [Common] and the panel sections; a template that breaks the numbering
// rules, or whose panel rectangles do not convert, is refused with the reason.
std::optional<TemplateLayout> ReadTemplateLayout(const ProfileFile& ini, QString* error);
// The layout and every window section, so that nothing is built from a
// template that would fail halfway.
std::optional<TemplateContent> ReadTemplateContent(const ProfileFile& ini, QString* error);

// Clears `ini`, then writes [Common] and each [Panel<n>], calling
// `writeWindow` directly after each panel's section so that its window section
// follows it. A layout that breaks the numbering rules is not written.
bool WriteTemplateLayout(ProfileFile& ini, const TemplateLayout& layout,
                         const std::function<void(ProfileFile&, const PanelLayout&)>& writeWindow,
                         QString* error);
// Window rectangles are taken from where the panels lie on the screen.
bool WriteTemplateContent(ProfileFile& ini, const TemplateContent& content, QString* error);

// Where panel `number` lies on the template's screen.
WindowRect panelScreenRect(const TemplateLayout& layout, int number);

} // namespace quorvel

#include "console/model/templatelayout.h"

#include "console/model/converterror.h"
#include "core/profilefile.h"

#include <QRegularExpression>
#include <set>

namespace quorvel {
namespace {

const QString Common = QStringLiteral("Common");

QString panelName(int number) { return QStringLiteral("Panel%1").arg(number); }

std::optional<PanelAlign> alignFromValue(int value)
{
    if (value < 0 || value > 5)
        return std::nullopt;
    return static_cast<PanelAlign>(value);
}

// "Panel<m>" names panel m; any other name is the screen itself, whatever
// name the template window bore when the file was written.
int parentNumber(const QString& name)
{
    static const QRegularExpression panel(QStringLiteral("\\APanel(\\d+)\\z"),
                                          QRegularExpression::CaseInsensitiveOption);
    const auto match = panel.match(name.trimmed());
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const int number = match.captured(1).toInt(&ok);
    return ok ? number : -1;
}

QString refused(const QString& reason)
{
    return QStringLiteral("模板文件有误：%1").arg(reason);
}

} // namespace

QString layoutNumberingError(const TemplateLayout& layout)
{
    if (layout.width <= 0 || layout.height <= 0)
        return refused(QStringLiteral("屏幕尺寸%1×%2无效").arg(layout.width).arg(layout.height));
    if (layout.panels.empty())
        return refused(QStringLiteral("没有任何面板"));
    const int panelCount = int(layout.panels.size());
    if (layout.windowsNumber < 1 || layout.windowsNumber > panelCount)
        return refused(QStringLiteral("窗口数%1与面板数%2不符").arg(layout.windowsNumber).arg(panelCount));

    std::vector<int> shownBy(size_t(layout.windowsNumber) + 1, 0);
    std::vector<bool> hasChildren(size_t(panelCount) + 1, false);
    for (int i = 0; i < panelCount; ++i) {
        const PanelLayout& panel = layout.panels[size_t(i)];
        const int n = i + 1;
        if (panel.number != n)
            return refused(QStringLiteral("第%1个面板的编号是%2").arg(n).arg(panel.number));
        if (panel.width < 0 || panel.height < 0)
            return refused(QStringLiteral("Panel%1的尺寸为负").arg(n));
        if (panel.parent < 0 || panel.parent >= n)
            return refused(QStringLiteral("Panel%1的容器Panel%2不是编号更小的面板")
                               .arg(n)
                               .arg(panel.parent));
        if (panel.parent > 0) {
            const PanelLayout& container = layout.panels[size_t(panel.parent - 1)];
            if (container.showId != 0)
                return refused(QStringLiteral("Panel%1显示窗口%2，不能容纳Panel%3")
                                   .arg(panel.parent)
                                   .arg(container.showId)
                                   .arg(n));
            hasChildren[size_t(panel.parent)] = true;
        }
        if (panel.showId < 0 || panel.showId > layout.windowsNumber)
            return refused(QStringLiteral("Panel%1显示的窗口%2超出窗口数%3")
                               .arg(n)
                               .arg(panel.showId)
                               .arg(layout.windowsNumber));
        if (panel.showId > 0) {
            int& shown = shownBy[size_t(panel.showId)];
            if (shown != 0)
                return refused(QStringLiteral("窗口%1同时由Panel%2和Panel%3显示")
                                   .arg(panel.showId)
                                   .arg(shown)
                                   .arg(n));
            shown = n;
        }
    }
    for (int w = 1; w <= layout.windowsNumber; ++w) {
        if (shownBy[size_t(w)] == 0)
            return refused(QStringLiteral("没有面板显示窗口%1").arg(w));
    }
    for (int n = 1; n <= panelCount; ++n) {
        if (layout.panels[size_t(n - 1)].showId == 0 && !hasChildren[size_t(n)])
            return refused(QStringLiteral("Panel%1既不显示窗口也不容纳其他面板").arg(n));
    }
    return {};
}

std::optional<TemplateLayout> ReadTemplateLayout(const ProfileFile& ini, QString* error)
{
    auto fail = [&](const QString& reason) -> std::optional<TemplateLayout> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    TemplateLayout layout;
    layout.width = ini.readInteger(Common, u"Width", 800);
    layout.height = ini.readInteger(Common, u"Height", 600);
    layout.windowsNumber = ini.readInteger(Common, u"Windows Number", 0);
    const int panelCount = ini.readInteger(Common, u"Panels Number", 0);
    // Every panel needs a section of its own, which bounds the count too.
    if (panelCount > int(ini.sections().size()))
        return fail(refused(QStringLiteral("面板数%1多于文件中的段数").arg(panelCount)));

    for (int n = 1; n <= panelCount; ++n) {
        const QString section = panelName(n);
        if (!ini.sectionExists(section))
            return fail(refused(QStringLiteral("缺少[%1]段").arg(section)));
        PanelLayout panel;
        panel.number = n;
        WindowRect r;
        try {
            r = parseRectangle(ini.readString(section, u"Rectangle", QStringLiteral("0,0,0,0")));
        } catch (const ConvertError& e) {
            return fail(e.message());
        }
        panel.left = r.Left;
        panel.top = r.Top;
        panel.width = r.Right;
        panel.height = r.Bottom;
        panel.parent = parentNumber(ini.readString(section, u"Parent", ScreenName));
        const auto align = alignFromValue(ini.readInteger(section, u"Align", 0));
        if (!align)
            return fail(refused(QStringLiteral("[%1]的Align值无效").arg(section)));
        panel.align = *align;
        panel.showId = ini.readInteger(section, u"ShowId", 0);
        panel.hasSplitter = ini.readBool(section, u"Has Splitter", false);
        if (panel.hasSplitter) {
            const auto splitterAlign = alignFromValue(ini.readInteger(section, u"Splitter Align", 0));
            if (!splitterAlign)
                return fail(refused(QStringLiteral("[%1]的Splitter Align值无效").arg(section)));
            panel.splitterAlign = *splitterAlign;
        }
        layout.panels.push_back(panel);
    }
    if (const QString reason = layoutNumberingError(layout); !reason.isEmpty())
        return fail(reason);
    return layout;
}

std::optional<TemplateContent> ReadTemplateContent(const ProfileFile& ini, QString* error)
{
    auto layout = ReadTemplateLayout(ini, error);
    if (!layout)
        return std::nullopt;
    TemplateContent content;
    content.layout = std::move(*layout);
    try {
        for (int w = 1; w <= content.layout.windowsNumber; ++w) {
            WindowRecPtr rec = NewWindowRec();
            ReadWindowSection(*rec, ini, w);
            content.windows.emplace(w, std::move(rec));
        }
    } catch (const ConvertError& e) {
        if (error)
            *error = e.message();
        return std::nullopt;
    }
    return content;
}

bool WriteTemplateLayout(ProfileFile& ini, const TemplateLayout& layout,
                         const std::function<void(ProfileFile&, const PanelLayout&)>& writeWindow,
                         QString* error)
{
    if (const QString reason = layoutNumberingError(layout); !reason.isEmpty()) {
        if (error)
            *error = reason;
        return false;
    }
    ini.clear();
    ini.writeInteger(Common, u"Width", layout.width);
    ini.writeInteger(Common, u"Height", layout.height);
    ini.writeInteger(Common, u"Windows Number", layout.windowsNumber);
    ini.writeInteger(Common, u"Panels Number", int(layout.panels.size()));
    for (const PanelLayout& panel : layout.panels) {
        const QString section = panelName(panel.number);
        ini.writeString(section, u"Rectangle",
                        QStringLiteral("%1,%2,%3,%4")
                            .arg(panel.left)
                            .arg(panel.top)
                            .arg(panel.width)
                            .arg(panel.height));
        ini.writeString(section, u"Parent", panel.parent == 0 ? ScreenName : panelName(panel.parent));
        ini.writeInteger(section, u"Align", int(panel.align));
        ini.writeInteger(section, u"ShowId", panel.showId);
        ini.writeBool(section, u"Has Splitter", panel.hasSplitter);
        if (panel.hasSplitter)
            ini.writeInteger(section, u"Splitter Align", int(panel.splitterAlign));
        if (panel.showId != 0 && writeWindow)
            writeWindow(ini, panel);
    }
    return true;
}

bool WriteTemplateContent(ProfileFile& ini, const TemplateContent& content, QString* error)
{
    return WriteTemplateLayout(
        ini, content.layout,
        [&](ProfileFile& file, const PanelLayout& panel) {
            const auto found = content.windows.find(panel.showId);
            if (found == content.windows.end())
                return;
            WriteWindowSection(file, panel.showId, panelScreenRect(content.layout, panel.number),
                               found->second.get());
        },
        error);
}

WindowRect panelScreenRect(const TemplateLayout& layout, int number)
{
    if (number < 1 || number > int(layout.panels.size()))
        return {};
    const PanelLayout& panel = layout.panels[size_t(number - 1)];
    int left = panel.left;
    int top = panel.top;
    // Containers have lower numbers; the walk stops at any that does not.
    for (int below = number, p = panel.parent; p > 0 && p < below;
         below = p, p = layout.panels[size_t(p - 1)].parent) {
        left += layout.panels[size_t(p - 1)].left;
        top += layout.panels[size_t(p - 1)].top;
    }
    return {left, top, left + panel.width, top + panel.height};
}

} // namespace quorvel

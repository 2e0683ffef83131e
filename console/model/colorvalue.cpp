#include "console/model/colorvalue.h"

#include <QGuiApplication>
#include <QPalette>

namespace quorvel {
namespace {

// Indexes of the system colours that the console's windows use.
enum SystemColor : std::uint32_t {
    SysWindow = 5,
    SysWindowFrame = 6,
    SysMenuText = 7,
    SysWindowText = 8,
    SysAppWorkSpace = 12,
    SysHighlight = 13,
    SysHighlightText = 14,
    SysBtnFace = 15,
    SysBtnShadow = 16,
    SysGrayText = 17,
    SysBtnText = 18,
    SysInfoText = 23,
    SysInfoBk = 24,
};

QColor systemColor(std::uint32_t index)
{
    // Without a GUI application there is no desktop scheme to follow.
    const QPalette palette =
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::palette() : QPalette();
    switch (index) {
    case SysWindow:
        return palette.color(QPalette::Base);
    case SysWindowFrame:
    case SysWindowText:
    case SysMenuText:
        return palette.color(QPalette::WindowText);
    case SysAppWorkSpace:
        return palette.color(QPalette::Dark);
    case SysHighlight:
        return palette.color(QPalette::Highlight);
    case SysHighlightText:
        return palette.color(QPalette::HighlightedText);
    case SysBtnFace:
        return palette.color(QPalette::Button);
    case SysBtnShadow:
        return palette.color(QPalette::Shadow);
    case SysGrayText:
        return palette.color(QPalette::Disabled, QPalette::Text);
    case SysBtnText:
        return palette.color(QPalette::ButtonText);
    case SysInfoText:
        return palette.color(QPalette::ToolTipText);
    case SysInfoBk:
        return palette.color(QPalette::ToolTipBase);
    default:
        return Qt::black;
    }
}

} // namespace

QColor colorFromValue(ColorValue value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    if (value < 0)
        return systemColor(bits & 0x00FFFFFFu);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

ColorValue colorValueOf(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return static_cast<ColorValue>(std::uint32_t(rgb.red()) | (std::uint32_t(rgb.green()) << 8) |
                                   (std::uint32_t(rgb.blue()) << 16));
}

} // namespace quorvel

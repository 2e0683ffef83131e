#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace quorvel {

// What a play window plays. The value is what a template stores under "Mode"
// and the index in the properties dialog's play-mode list.
enum PlayMode : std::int32_t {
    pmText = 0,
    pmCustom = 1,
    pmVideo = 2,
    pmClock = 3,
    pmFlash = 4,
    pmHtml = 5,
    pmPpt = 6,
    pmUniversal = 7,
};

inline constexpr int PlayModeCount = 8;

QString playModeDisplayName(PlayMode mode);
// All display names in value order, as the properties dialog lists them.
QStringList playModeDisplayNames();
// std::nullopt for a value that names no mode.
std::optional<PlayMode> playModeFromValue(int value);

} // namespace quorvel

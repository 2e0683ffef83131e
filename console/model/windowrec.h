#pragma once

#include "console/model/fontspec.h"
#include "console/model/playmode.h"

#include <QStringList>
#include <memory>

namespace quorvel {

class ProfileFile;

// Right and Bottom are exclusive: Right = Left + width.
struct WindowRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// The settings of one play window. What each field means depends on Mode;
// the properties dialog resets the fields a mode does not use.
struct WINDOW_REC {
    WindowRect Rect;
    PlayMode Mode = pmText;
    int Effect = 0;
    bool RandomEffect = false; // stored under the key "RandomEeffect"
    int Speed = 50;
    int HorizMargin = 0;
    int VertMargin = 0;
    ColoredFont Font;
    ColorValue BgColor = clBlack;
    QStringList Sources;
    bool Loop = false;
};

using WindowRecPtr = std::unique_ptr<WINDOW_REC>;

// A record with the allocation defaults (RandomEffect and Loop false, unlike
// a record read from a section without those keys).
WindowRecPtr NewWindowRec();
// Frees the record with its font and sources; `rec` is empty afterwards.
void FreeWindowRec(WindowRecPtr& rec);

// Writes [Window<windowNumber>] from `rec`, with "Rectangle" taken from
// `screenRect` (where the panel lies on the template's screen now), not from
// rec->Rect. Nothing is written when there is no record.
void WriteWindowSection(ProfileFile& ini, int windowNumber, const WindowRect& screenRect,
                        const WINDOW_REC* rec);

// Reads [Window<windowNumber>] into `rec`, a missing section or key giving its
// reading default; the sources are appended up to the first empty one.
// Throws ConvertError for a "Font", "Rectangle" or "Mode" that cannot be
// converted; `rec` may then be partly filled and should be dropped.
void ReadWindowSection(WINDOW_REC& rec, const ProfileFile& ini, int windowNumber);

// The "Rectangle" value of a window or panel: four integers as comma text.
WindowRect parseRectangle(const QString& text);
QString windowSectionName(int windowNumber);

} // namespace quorvel

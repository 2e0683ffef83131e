#pragma once

#include <QString>

namespace quorvel {

// One task of the day's plan, or the end-of-day mark that follows the last.
struct SchTask {
    QString Time;   // "hh:mm"
    QString Cmd;    // "PLAY" or "SHUT"
    QString Module; // template name without ".mb", kept whole
    bool endOfDay = false;

    static SchTask endOfDayMark()
    {
        SchTask mark;
        mark.endOfDay = true;
        return mark;
    }
    bool operator==(const SchTask&) const = default;
};

} // namespace quorvel

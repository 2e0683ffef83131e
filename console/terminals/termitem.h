#pragma once

#include "console/terminals/macaddress.h"

#include <QString>

namespace quorvel {

enum class TermStatus { Stopped = 0, Playing = 1, Offline = 2 };

// One terminal of the console's list. `Online` and `Status` are never
// stored; they come from the last status query.
struct TermItem {
    QString ID;
    QString IP;
    MacAddress MAC;
    int Group = 0;
    QString Position;
    QString Note;
    bool Online = false;
    TermStatus Status = TermStatus::Offline;

    // Takes the outcome of a status query ("HLO"): "STB" is stopped, any
    // other reply playing, no reply offline.
    void setHelloReply(bool answered, const QString& reply);
};

// "停止", "播放", "--"
QString StatusText(TermStatus status);

} // namespace quorvel

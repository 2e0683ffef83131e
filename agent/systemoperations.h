#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace quorvel {

class PowerControl;
class SystemClock;

// The terminal's clock and power, through the platform layers.
class SystemOperations {
public:
    SystemOperations(SystemClock& clock, PowerControl& power);

    // Reads the text of a "TIM" request and sets the clock to it. False,
    // with a reason, when the text is no date and time or the clock could
    // not be set; the clock is then unchanged.
    bool SetClock(const QString& text, QString* error = nullptr);
    // "YYYY/MM/DD hh:mm:ss" as local time; "-" is also taken as the date
    // separator. std::nullopt when the text is no valid date and time.
    static std::optional<QDateTime> parseClockText(const QString& text);

    // Start the forced power-off or restart and return at once.
    bool ShutdownPC(QString* error = nullptr);
    bool RebootPC(QString* error = nullptr);

private:
    SystemClock& m_clock;
    PowerControl& m_power;
};

} // namespace quorvel

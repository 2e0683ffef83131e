#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace quorvel {

// A terminal's physical (Ethernet) address, six bytes in address order.
class MacAddress {
public:
    using Bytes = std::array<quint8, 6>;

    MacAddress() = default;
    explicit MacAddress(const Bytes& bytes) : m_bytes(bytes) {}

    // Twelve hexadecimal digits, either case, with or without "-" or ":"
    // between them; std::nullopt for anything else.
    static std::optional<MacAddress> fromText(QStringView text);
    // The settings file's form: two digits per byte in order; a pair that is
    // not hexadecimal (or missing) leaves its byte 0.
    static MacAddress fromDigits(QStringView digits);

    const Bytes& bytes() const { return m_bytes; }
    // "00E04C6812AB"
    QString digits() const;
    // "00-E0-4C-68-12-AB"
    QString withDashes() const;

    friend bool operator==(const MacAddress&, const MacAddress&) = default;

private:
    Bytes m_bytes{};
};

} // namespace quorvel

#include "console/terminals/macaddress.h"

namespace quorvel {
namespace {

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

QString joined(const MacAddress::Bytes& bytes, QStringView separator)
{
    QString text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += separator;
        text += QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

} // namespace

std::optional<MacAddress> MacAddress::fromText(QStringView text)
{
    QString digits;
    for (QChar c : text) {
        if (c == u'-' || c == u':')
            continue;
        if (hexValue(c) < 0)
            return std::nullopt;
        digits += c;
    }
    if (digits.size() != 12)
        return std::nullopt;
    return fromDigits(digits);
}

MacAddress MacAddress::fromDigits(QStringView digits)
{
    Bytes bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        const qsizetype at = qsizetype(i) * 2;
        if (at + 1 >= digits.size())
            break;
        const int high = hexValue(digits[at]);
        const int low = hexValue(digits[at + 1]);
        if (high >= 0 && low >= 0)
            bytes[i] = quint8(high * 16 + low);
    }
    return MacAddress(bytes);
}

QString MacAddress::digits() const
{
    return joined(m_bytes, u"");
}

QString MacAddress::withDashes() const
{
    return joined(m_bytes, u"-");
}

} // namespace quorvel

#include "core/textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace quorvel {

// The converters keep state between calls, so each call makes its own: the
// functions are called from connection threads at the same time.
QByteArray toGb18030(QStringView text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString fromGb18030(QByteArrayView bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

QString truncateToGb18030Bytes(const QString& text, qsizetype maxBytes)
{
    if (text.size() * 4 <= maxBytes)
        return text; // every character takes at most four bytes
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const qsizetype charBytes = toGb18030(QStringView(text).mid(i, width)).size();
        if (bytes + charBytes > maxBytes)
            break;
        bytes += charBytes;
        i += width;
    }
    return text.left(i);
}

} // namespace quorvel

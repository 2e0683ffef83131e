#include "core/commatext.h"

namespace quorvel {
namespace {

bool isBlank(QChar c) { return c.unicode() >= 1 && c.unicode() <= 0x20; }

} // namespace

QStringList splitDelimited(QStringView text, QChar delimiter)
{
    // The text ends at a NUL: it is neither a blank nor part of an item, so
    // the scan below would never get past it.
    if (const qsizetype nul = text.indexOf(QChar(u'\0')); nul >= 0)
        text = text.first(nul);
    QStringList items;
    qsizetype p = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (p < n && isBlank(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        QString item;
        if (text[p] == u'"') {
            ++p;
            while (p < n) {
                if (text[p] == u'"') {
                    if (p + 1 < n && text[p + 1] == u'"') {
                        item.append(u'"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item.append(text[p]);
                ++p;
            }
        } else {
            const qsizetype start = p;
            while (p < n && text[p].unicode() > 0x20 && text[p] != delimiter)
                ++p;
            item = text.mid(start, p - start).toString();
        }
        items.append(item);
        skipBlanks();
        if (p < n && text[p] == delimiter) {
            ++p;
            skipBlanks();
        }
    }
    return items;
}

QString quoteItem(const QString& item, QChar delimiter)
{
    bool needsQuotes = item.isEmpty();
    for (QChar c : item) {
        if (c.unicode() <= 0x20 || c == u'"' || c == delimiter) {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes)
        return item;
    QString quoted = item;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace quorvel

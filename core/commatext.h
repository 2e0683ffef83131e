#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

// Splits delimited text the way the system has always split its lists:
// blanks (any character up to U+0020) and the delimiter both separate items;
// an item that starts with a double quote runs to the matching quote, may hold
// blanks and delimiters, and a doubled quote inside stands for one quote.
// "a,,b" gives three items, the middle one empty; a trailing delimiter adds
// nothing.
QStringList splitDelimited(QStringView text, QChar delimiter);

inline QStringList splitCommaText(QStringView text) { return splitDelimited(text, u','); }

// The inverse for one item: quoted when it holds a blank, a quote or the
// delimiter (or is empty), with inner quotes doubled.
QString quoteItem(const QString& item, QChar delimiter = u',');

} // namespace quorvel

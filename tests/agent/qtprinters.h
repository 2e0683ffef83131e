#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// Readable failure messages: GoogleTest finds these by argument lookup, so
// they live beside the Qt types, in the global namespace.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << bytes.toStdString() << '"';
}

#pragma once

#include <QString>

namespace quorvel {

// A source item is a three-character tag followed directly by the source.
// Web-page addresses and clock display formats carry no tag.
enum class SourceTag {
    None,    // no tag: stored as it stands
    Text,    // "[T]" typed text, every line ending in CR LF
    File,    // "[F]" a path on the console: file, folder or pattern
    Url,     // "[U]" an address
    Command, // "[C]" a command line run on the terminal
};

inline const QString TextTag = QStringLiteral("[T]");
inline const QString FileTag = QStringLiteral("[F]");
inline const QString UrlTag = QStringLiteral("[U]");
inline const QString CommandTag = QStringLiteral("[C]");

// Tags are matched exactly, as the agent and the uploads match them.
SourceTag sourceTagOf(const QString& item);
// The source behind the tag; the whole item when it has none.
QString sourceBody(const QString& item);
QString makeSourceItem(SourceTag tag, const QString& body);
QString sourceTagText(SourceTag tag);

} // namespace quorvel

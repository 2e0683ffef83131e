#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

// `text` without any space or tab.
QString StripBlanks(const QString& text);

// The full paths of the files that match `pattern`, a folder and a file-name
// pattern with the wildcards "*" and "?" (matched without regard to case,
// every other character literally). "/" and "\" both separate folders.
// A pattern without a folder part is looked up in `repositoryPath`. Hidden
// files are listed, folders are not; the order is the file system's. A
// pattern that matches nothing, or whose folder is missing, gives an empty
// list. Results join the folder and the name with one "/".
QStringList ListFiles(const QString& pattern, const QString& repositoryPath);

} // namespace quorvel

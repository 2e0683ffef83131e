#include "console/model/utils.h"

#include <QDirIterator>
#include <QRegularExpression>

namespace quorvel {
namespace {

QRegularExpression wildcardExpression(const QString& namePattern)
{
    // "*.*" has always meant every file, a name without a dot included.
    if (namePattern == u"*.*")
        return QRegularExpression(QStringLiteral("\\A.*\\z"));
    QString expression = QStringLiteral("\\A");
    for (QChar c : namePattern) {
        if (c == u'*')
            expression += QStringLiteral(".*");
        else if (c == u'?')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    expression += QStringLiteral("\\z");
    return QRegularExpression(expression, QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

QString StripBlanks(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ' && c != u'\t')
            result.append(c);
    }
    return result;
}

QStringList ListFiles(const QString& pattern, const QString& repositoryPath)
{
    QString full = pattern;
    full.replace(u'\\', u'/');
    qsizetype slash = full.lastIndexOf(u'/');
    if (slash < 0) {
        QString repository = repositoryPath;
        repository.replace(u'\\', u'/');
        if (!repository.isEmpty() && !repository.endsWith(u'/'))
            repository += u'/';
        full = repository + full;
        slash = full.lastIndexOf(u'/');
    }
    if (slash < 0)
        return {}; // no folder at all: never the current directory
    QString folder = full.left(slash);
    const QString namePattern = full.mid(slash + 1);
    if (namePattern.isEmpty())
        return {};
    // A doubled separator is one; "/" alone is the root folder.
    while (folder.endsWith(u'/'))
        folder.chop(1);
    const QString lookIn = folder.isEmpty() ? QStringLiteral("/") : folder;

    const QRegularExpression matcher = wildcardExpression(namePattern);
    QStringList files;
    QDirIterator entries(lookIn, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        const QString name = entries.fileName();
        if (matcher.match(name).hasMatch())
            files.append(folder + u'/' + name);
    }
    return files;
}

} // namespace quorvel

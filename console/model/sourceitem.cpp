#include "console/model/sourceitem.h"

namespace quorvel {

QString sourceTagText(SourceTag tag)
{
    switch (tag) {
    case SourceTag::None:
        return {};
    case SourceTag::Text:
        return TextTag;
    case SourceTag::File:
        return FileTag;
    case SourceTag::Url:
        return UrlTag;
    case SourceTag::Command:
        return CommandTag;
    }
    return {};
}

SourceTag sourceTagOf(const QString& item)
{
    for (SourceTag tag : {SourceTag::Text, SourceTag::File, SourceTag::Url, SourceTag::Command}) {
        if (item.startsWith(sourceTagText(tag)))
            return tag;
    }
    return SourceTag::None;
}

QString sourceBody(const QString& item)
{
    return sourceTagOf(item) == SourceTag::None ? item : item.mid(3);
}

QString makeSourceItem(SourceTag tag, const QString& body) { return sourceTagText(tag) + body; }

} // namespace quorvel

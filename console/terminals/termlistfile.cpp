#include "console/terminals/termlistfile.h"

#include "core/profilefile.h"

#include <QRegularExpression>

namespace quorvel {

QString TermListFile::sectionName(int index)
{
    return QStringLiteral("Term_%1").arg(index);
}

bool TermListFile::isTermSection(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^Term_-?\\d+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
}

std::vector<TermItem> TermListFile::load(const ProfileFile& ini)
{
    std::vector<TermItem> items;
    for (int n = 0;; ++n) {
        const QString section = sectionName(n);
        if (!ini.sectionExists(section))
            break;
        TermItem item;
        item.ID = ini.readString(section, u"ID", QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')));
        item.IP = ini.readString(section, u"IP", QStringLiteral("127.0.0.1"));
        item.MAC = MacAddress::fromDigits(ini.readString(section, u"MAC", QStringLiteral("000000000000")));
        item.Group = ini.readInteger(section, u"GROUP", 0);
        item.Position = ini.readString(section, u"POSITION");
        item.Note = ini.readString(section, u"NOTE");
        items.push_back(item);
    }
    return items;
}

void TermListFile::store(ProfileFile& ini, const std::vector<TermItem>& items)
{
    for (const QString& section : ini.sections())
        if (isTermSection(section))
            ini.eraseSection(section);
    for (size_t i = 0; i < items.size(); ++i) {
        const TermItem& item = items[i];
        const QString section = sectionName(int(i));
        ini.writeString(section, u"ID", item.ID);
        ini.writeString(section, u"IP", item.IP);
        ini.writeString(section, u"MAC", item.MAC.digits());
        ini.writeInteger(section, u"GROUP", item.Group);
        ini.writeString(section, u"POSITION", item.Position);
        ini.writeString(section, u"NOTE", item.Note);
    }
}

bool TermListFile::save(const QString& settingsPath, const std::vector<TermItem>& items,
                        QString* error)
{
    ProfileFile ini(settingsPath);
    if (!ini.loadError().isEmpty()) {
        if (error)
            *error = ini.loadError();
        return false;
    }
    store(ini, items);
    return ini.save(error);
}

} // namespace quorvel

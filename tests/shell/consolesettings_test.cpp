#include "console/common/consolesettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(ConsoleSettings, WithoutSettingsFileTheRepositoryIsTheAgentsFolder)
{
    QTemporaryDir dir;
    const ConsoleSettings settings = ConsoleSettings::load(dir.path());
    EXPECT_EQ(settings.programDir, dir.path() + "/");
    EXPECT_EQ(settings.settingsPath, dir.path() + "/quorvel.ini");
    EXPECT_EQ(settings.repositoryPath, dir.path() + "/Terminal/Repositories/");
    EXPECT_FALSE(QFile::exists(settings.repositoryPath)) << "nothing is created at start-up";
}

TEST(ConsoleSettings, RepositoryPathAlwaysEndsInOneSeparator)
{
    struct Case {
        QByteArray ini;
        QString expected; // "{dir}" stands for the program folder
    };
    const Case cases[] = {
        {"[Repositories]\r\npath=/srv/store\r\n", "/srv/store/"},
        {"[Repositories]\r\npath=/srv/store/\r\n", "/srv/store/"},
        {"[repositories]\r\nPATH = \"/srv/store\\\"\r\n", "/srv/store/"},
        {"[Repositories]\r\nshared=/x\r\n", "{dir}/Terminal/Repositories/"},
        {"[Other]\r\npath=/srv/store\r\n", "{dir}/Terminal/Repositories/"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        writeFile(dir.filePath("quorvel.ini"), c.ini);
        QString expected = c.expected;
        expected.replace("{dir}", dir.path());
        EXPECT_EQ(ConsoleSettings::load(dir.path()).repositoryPath, expected) << c.ini.constData();
    }
}

TEST(ConsoleSettings, ChineseFolderNamesAreReadFromGb18030)
{
    QTemporaryDir dir;
    // "/srv/节目" in GB18030.
    writeFile(dir.filePath("quorvel.ini"), "[Repositories]\r\npath=/srv/\xbd\xda\xc4\xbf\r\n");
    EXPECT_EQ(ConsoleSettings::load(dir.path()).repositoryPath, QStringLiteral("/srv/节目/"));
}

} // namespace
} // namespace quorvel

#pragma once

#include <QString>

namespace quorvel {

// Where the console finds its things, fixed once at start-up.
struct ConsoleSettings {
    QString programDir;     // the console's own folder
    QString settingsPath;   // quorvel.ini beside the program
    QString repositoryPath; // always ends in "/"

    // Reads [Repositories] "path" from programDir/quorvel.ini, defaulting to
    // programDir/Terminal/Repositories/. The folder is not created or checked.
    static ConsoleSettings load(const QString& programDir);
};

// A folder path with one trailing "/" (a trailing "\" counts as one too).
QString withTrailingSeparator(const QString& folder);

} // namespace quorvel

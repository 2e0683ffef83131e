#pragma once

#include "console/terminals/termitem.h"

#include <vector>

namespace quorvel {

class ProfileFile;

// The terminal list as kept in the console's settings file: one section
// "Term_%d" per terminal, numbered from 0 without gaps, beside the file's
// other sections.
class TermListFile {
public:
    // Reads Term_0, Term_1, ... up to the first missing section. Online and
    // Status are left offline; the caller queries them.
    static std::vector<TermItem> load(const ProfileFile& ini);
    // Erases every terminal section and writes the list anew; the other
    // sections stay as they are.
    static void store(ProfileFile& ini, const std::vector<TermItem>& items);

    // Reads the file, stores the list and saves it atomically (temporary file
    // and rename). Refuses to write over a file it could not read, so the
    // other sections are never lost. false with the reason in `error`.
    static bool save(const QString& settingsPath, const std::vector<TermItem>& items,
                     QString* error);

    static QString sectionName(int index);
    static bool isTermSection(const QString& name);
};

} // namespace quorvel

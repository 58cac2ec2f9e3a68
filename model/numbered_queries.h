#pragma once
// Numbered queries: sections "1" to "151" of vortipak.ini. A number is in use when its "data" value
// is not empty, whatever else its section holds; deleting leaves a gap that the next new query takes.
#include <string>
#include <string_view>

#include "model/query_record.h"

namespace vpk {

inline constexpr int kFirstSection = 1;
inline constexpr int kLastSection = 151;

class NumberedQueries {
  public:
    explicit NumberedQueries(std::string settingsFile) : file_(std::move(settingsFile)) {}
    const std::string& File() const { return file_; }

    bool IsSectionUsed(int number) const;

    // Every key with the reader's defaults, and the schedule line of "RunService". For the wizard
    // "spath" and "scmd" come converted for its pages and "runfile" tells whether "scmd" names an
    // existing file; for the backup program "dest" is upper-cased and "icoIndex" may be 9999.
    QueryRecord ReadSectionNumber(int number, QueryReader reader, const QueryTexts& texts = {}) const;
    // Writes the keys in the wizard's order, "timeoutsec" of "general" and the schedule line (key
    // deleted when the query is not scheduled). The section is not erased: unknown keys stay. A
    // refused write raises and leaves the keys written before it.
    void WriteSectionNumber(int number, const QueryRecord& query, int timeoutSec,
                            const QueryTexts& texts = {}) const;
    // Erases the section and its schedule line.
    void DeleteSectionNumber(int number) const;

    int FirstFreeSection() const;  // lowest free number; 151 when all are used
    // False when every number is in use: FirstFreeSection then names a query that a new one would
    // overwrite, which a caller should not do without asking.
    bool HasFreeSection() const;
    int LastUsedSection() const;                 // highest used number from 151 down to 2; else 1
    int NextUsedSection(int current) const;      // first used number above current; else 1
    int PreviousUsedSection(int current) const;  // first used number below current; else 1

  private:
    std::string file_;
};

// "scmd" as the wizard shows it: the text after "><" when it holds one, else the stored path
// without the query folder (or, failing that, without its first folder), upper-cased.
std::string ScmdShown(std::string_view stored, std::string_view dataFolder);
// "scmd" as the wizard stores it: empty unless runfile; with stored paths, the file's path below the
// root of the query folder's drive.
std::string ScmdStored(const QueryRecord& query);
// Whether the stored "scmd" names an existing file (relative values are taken from the root of the
// query folder's drive, then from the query folder).
bool ScmdNamesExistingFile(std::string_view stored, std::string_view dataFolder);

}  // namespace vpk

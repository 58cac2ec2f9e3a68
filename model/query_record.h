#pragma once
// One backup definition: the keys shared by numbered queries (a section "1".."151" of vortipak.ini)
// and query files (section "divers" of a ".vpk" file). Member names are the key names.
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

// The two programs read the same keys with different defaults.
enum class QueryReader { Wizard, Backup };

// Language texts some readers and writers need; empty when the caller has no language loaded.
struct QueryTexts {
    std::string sfxTitle;   // message "000130": the backup program's default self-extractor title
    std::string askFolder;  // message "010100": what the wizard shows for the "spath" value "><"
};

struct QueryRecord {
    std::string data;                // numbered queries only: folder saved, ending in '\'
    std::string filter = "*.*";      // numbered queries only
    std::vector<std::string> exclu;  // numbered queries only: the patterns of the exclusion value
    std::string arch;
    std::string dest;
    bool sfx = false;
    bool date = true;
    bool subdir = true;
    bool storepath = true;
    bool pass = false;
    bool update = true;
    int level = 1;
    int maxfile = 5;
    std::string note;
    bool qw95 = false;
    bool autoclose = true;
    bool eject = true;
    std::string stitre;
    std::string spath = "C:\\";
    bool runfile = false;  // the wizard's CbRunAFile: "scmd" is written only while it is ticked
    std::string scmd;
    bool msgsfx = false;
    std::string smsg;
    int iboxmsg = 1;
    std::string iconame;
    int icoIndex = 0;
    bool sow = false;
    bool endmsg = true;
    bool autorun = false;
    bool chglst = false;
    // The schedule line of the query (key of "RunService"); empty when it is not scheduled.
    std::string scheduleLine;
};

// The missing-key defaults of a reader, before any value is read. The wizard's destination default
// (the last entry of its destination history) is filled in by the query readers.
QueryRecord DefaultQuery(QueryReader reader, const QueryTexts& texts = {});

// "icoIndex" as the backup program uses it: 9999 (key missing) means 1 for a self-extracting
// archive and 0 otherwise.
int EffectiveIconIndex(const QueryRecord& query);

// The wizard shows "spath" "><" as the text of message "010100"; it stores a shown text holding that
// text as "><". Query files are read and written without this conversion.
std::string SpathShown(std::string_view stored, std::string_view askFolder);
std::string SpathStored(std::string_view shown, std::string_view askFolder);

}  // namespace vpk

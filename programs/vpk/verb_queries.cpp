// vpk queries [--ini FILE]: the numbered queries of vortipak.ini and the query files of its "Vpk"
// folder, one line each: what is saved, where the archive goes, and whether it is scheduled.
#include <cstdio>
#include <string>
#include <vector>

#include "model/global_settings.h"
#include "model/numbered_queries.h"
#include "model/path_routines.h"
#include "model/query_file.h"
#include "model/text_fields.h"
#include "platform/file_system.h"
#include "programs/vpk/verb_registry.h"

namespace {

using namespace vpk;

void ListQueryFiles(const std::string& folder, const std::string& settings) {
    FileFinder finder(AddBackslash(folder) + "*.*", kAttrAnyFile);
    for (FindEntry entry; finder.Next(entry);) {
        const std::string path = AddBackslash(folder) + entry.name;
        if (entry.attributes & kAttrDirectory) {
            ListQueryFiles(path, settings);
            continue;
        }
        if (!WildcardMatch("*.vpk", entry.name)) continue;
        const QueryFileContent content = ReadVpk(path, QueryReader::Backup, settings);
        std::printf("%s\t%s\t%zu %s -> %s%s\n", path.c_str(), content.query.arch.c_str(),
                    content.includes.size(), content.includes.size() == 1 ? "entry" : "entries",
                    content.query.dest.c_str(), content.query.scheduleLine.empty() ? "" : "\tscheduled");
    }
}

int RunQueries(const std::vector<std::string>& args) {
    std::string settings = GlobalSettings::DefaultFile();
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--ini" && i + 1 < args.size()) {
            settings = cli::ArgumentPath(args[++i]);
        } else {
            std::fprintf(stderr, "usage: vpk queries [--ini FILE]\n");
            return cli::kExitUsage;
        }
    }
    const NumberedQueries queries(settings);
    for (int n = kFirstSection; n <= kLastSection; ++n) {
        if (!queries.IsSectionUsed(n)) continue;
        const QueryRecord q = queries.ReadSectionNumber(n, QueryReader::Backup);
        std::printf("%d\t%s\t%s%s -> %s%s\n", n, q.arch.c_str(), AddBackslash(q.data).c_str(),
                    q.filter.c_str(), q.dest.c_str(), q.scheduleLine.empty() ? "" : "\tscheduled");
    }
    const std::string vpkFolder = AddBackslash(DirOf(settings)) + "Vpk";
    if (Fs().FolderExists(vpkFolder)) ListQueryFiles(vpkFolder, settings);
    return cli::kExitOk;
}

const cli::VerbRegistration kQueries{"queries", "[--ini FILE]",
                                     "List the numbered queries and the query files of the installation",
                                     RunQueries};

}  // namespace

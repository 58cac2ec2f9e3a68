#include "model/numbered_queries.h"

#include <algorithm>

#include "model/exclusion_value.h"
#include "model/path_routines.h"
#include "model/profile_section.h"
#include "model/query_keys.h"
#include "model/text_fields.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

constexpr std::string_view kScheduleSection = "RunService";

// The query folder below its drive root: "C:\DATA\" gives "DATA\".
std::string BelowDriveRoot(std::string_view path) {
    return path.size() > 3 ? std::string(path.substr(3)) : std::string();
}

std::string DriveRootOf(std::string_view path) {
    return path.size() >= 3 && path[1] == ':' ? std::string(path.substr(0, 3)) : std::string();
}

}  // namespace

bool NumberedQueries::IsSectionUsed(int number) const {
    return !profile::ReadString(file_, std::to_string(number), "data").empty();
}

QueryRecord NumberedQueries::ReadSectionNumber(int number, QueryReader reader,
                                               const QueryTexts& texts) const {
    const ProfileSection s(file_, std::to_string(number));
    QueryRecord q = DefaultQuery(reader, texts);
    q.data = s.Text("data", q.data);
    q.filter = s.Text("filter", q.filter);
    q.exclu = ExclusionPatterns(s.Text("exclu"));
    ReadSharedQueryKeys(s, reader, q);
    q.scheduleLine = ProfileSection(file_, std::string(kScheduleSection)).Text(std::to_string(number));
    if (reader == QueryReader::Backup) {
        q.dest = UpperCase(q.dest);
    } else {
        if (q.dest.empty()) q.dest = WizardDestinationDefault(file_);
        q.spath = SpathShown(q.spath, texts.askFolder);
        q.runfile = ScmdNamesExistingFile(q.scmd, q.data);
        q.scmd = ScmdShown(q.scmd, q.data);
    }
    return q;
}

void NumberedQueries::WriteSectionNumber(int number, const QueryRecord& q, int timeoutSec,
                                         const QueryTexts& texts) const {
    const std::string name = std::to_string(number);
    const ProfileSection s(file_, name);
    const std::string spath = SpathStored(q.spath, texts.askFolder);
    const std::string scmd = ScmdStored(q);
    const std::string exclu = ExclusionValue(q.exclu);
    // A value that would come back cut is refused before the first key is written.
    for (const auto& [key, value] : {std::pair<const char*, const std::string&>{"data", q.data},
                                     {"filter", q.filter},
                                     {"arch", q.arch},
                                     {"dest", q.dest},
                                     {"note", q.note},
                                     {"spath", spath},
                                     {"scmd", scmd},
                                     {"smsg", q.smsg},
                                     {"stitre", q.stitre},
                                     {"iconame", q.iconame},
                                     {"exclu", exclu}})
        s.RequireReadable(key, value);
    ProfileSection(file_, std::string(kScheduleSection)).RequireReadable(name, q.scheduleLine);
    s.WriteText("data", q.data);
    s.WriteText("filter", q.filter);
    s.WriteText("arch", q.arch);
    s.WriteText("dest", q.dest);
    s.WriteFlag("sfx", q.sfx);
    s.WriteFlag("date", q.date);
    s.WriteFlag("subdir", q.subdir);
    s.WriteFlag("storepath", q.storepath);
    s.WriteFlag("pass", q.pass);
    s.WriteFlag("update", q.update);
    s.WriteInteger("level", q.level);
    s.WriteInteger("maxfile", q.maxfile);
    s.WriteText("note", q.note);
    s.WriteFlag("qw95", q.qw95);
    s.WriteFlag("autoclose", q.autoclose);
    s.WriteFlag("eject", q.eject);
    ProfileSection(file_, "general").WriteInteger("timeoutsec", timeoutSec);
    const ProfileSection schedule(file_, std::string(kScheduleSection));
    if (!q.scheduleLine.empty())
        schedule.WriteText(name, q.scheduleLine);
    else
        schedule.DeleteKey(name);
    s.WriteText("spath", spath);
    s.WriteFlag("runfile", q.runfile);
    s.WriteText("scmd", scmd);
    s.WriteFlag("msgsfx", q.msgsfx);
    s.WriteText("smsg", q.smsg);
    s.WriteInteger("iboxmsg", q.iboxmsg);
    s.WriteText("stitre", q.stitre);
    s.WriteText("iconame", q.iconame);
    s.WriteInteger("icoIndex", q.icoIndex);
    s.WriteFlag("sow", q.sow);
    s.WriteFlag("endmsg", q.endmsg);
    s.WriteFlag("autorun", q.autorun);
    s.WriteFlag("chglst", q.chglst);
    s.WriteText("exclu", exclu);
}

void NumberedQueries::DeleteSectionNumber(int number) const {
    const std::string name = std::to_string(number);
    profile::EraseSection(file_, name);
    profile::DeleteKey(file_, kScheduleSection, name);
}

int NumberedQueries::FirstFreeSection() const {
    for (int n = kFirstSection; n <= kLastSection; ++n)
        if (!IsSectionUsed(n)) return n;
    return kLastSection;
}

bool NumberedQueries::HasFreeSection() const {
    return FirstFreeSection() != kLastSection || !IsSectionUsed(kLastSection);
}

int NumberedQueries::LastUsedSection() const {
    for (int n = kLastSection; n > kFirstSection; --n)
        if (IsSectionUsed(n)) return n;
    return kFirstSection;
}

int NumberedQueries::NextUsedSection(int current) const {
    for (int n = std::max(current, 0) + 1; n <= kLastSection; ++n)
        if (IsSectionUsed(n)) return n;
    return kFirstSection;
}

int NumberedQueries::PreviousUsedSection(int current) const {
    for (int n = std::min(current, kLastSection + 1) - 1; n >= kFirstSection; --n)
        if (IsSectionUsed(n)) return n;
    return kFirstSection;
}

std::string ScmdShown(std::string_view stored, std::string_view dataFolder) {
    if (stored.find("><") != std::string_view::npos) return UpperCase(AfterFirst("><", stored));
    const std::string folder = BelowDriveRoot(AddBackslash(dataFolder));
    if (!folder.empty() && stored.size() > folder.size() && SameText(stored.substr(0, folder.size()), folder))
        return UpperCase(stored.substr(folder.size()));
    // A name stored without its folder (paths not stored) has no '\' and is kept whole.
    if (stored.find('\\') == std::string_view::npos) return UpperCase(stored);
    return UpperCase(AfterFirst("\\", stored));
}

std::string ScmdStored(const QueryRecord& q) {
    if (!q.runfile) return {};
    if (!q.storepath) return q.scmd;
    const std::string full = q.scmd.find(':') != std::string::npos ? q.scmd : AddBackslash(q.data) + q.scmd;
    return BelowDriveRoot(full);
}

bool ScmdNamesExistingFile(std::string_view stored, std::string_view dataFolder) {
    if (stored.empty()) return false;
    if (stored.find("><") != std::string_view::npos)
        return Fs().FileExists(AddBackslash(dataFolder) + AfterFirst("><", stored));
    if (stored.find(':') != std::string_view::npos) return Fs().FileExists(stored);
    const std::string root = DriveRootOf(dataFolder);
    if (!root.empty() && Fs().FileExists(root + std::string(stored))) return true;
    return !dataFolder.empty() && Fs().FileExists(AddBackslash(dataFolder) + std::string(stored));
}

}  // namespace vpk

#include "model/query_file.h"

#include "model/path_routines.h"
#include "model/profile_section.h"
#include "model/query_keys.h"
#include "model/query_schedule_list.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

std::vector<std::string> ReadEntryList(std::string_view path, std::string_view section) {
    std::vector<std::string> entries;
    for (const std::string& key : profile::ReadKeys(path, section)) {
        std::string value = profile::ReadString(path, section, key);
        if (!value.empty()) entries.push_back(std::move(value));
    }
    return entries;
}

void WriteEntryList(const ProfileSection& section, const std::vector<std::string>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) section.WriteText(std::to_string(i + 1), entries[i]);
}

}  // namespace

QueryFileContent ReadVpk(std::string_view path, QueryReader reader, std::string_view settingsFile,
                         const QueryTexts& texts) {
    const std::string file(path);
    QueryFileContent content;
    QueryRecord& q = content.query;
    q = DefaultQuery(reader, texts);
    if (reader == QueryReader::Wizard) q.arch = "SansNom";
    ReadSharedQueryKeys(ProfileSection(file, "divers"), reader, q);
    q.scheduleLine = ProfileSection(file, "RunService").Text("1");
    if (reader == QueryReader::Backup) {
        q.dest = UpperCase(q.dest);
    } else {
        q.dest = q.dest.empty() ? WizardDestinationDefault(std::string(settingsFile)) : AddBackslash(q.dest);
        // An icon file named without its folder belongs to the program folder.
        const bool relative = q.iconame.find(":\\") == std::string::npos;
        if (q.iconame.empty() || !Fs().FileExists(relative ? ProgramFolder() + q.iconame : q.iconame))
            q.iconame = ProgramFolder() + "icones.dll";
        q.runfile = !q.scmd.empty() && Fs().FileExists(q.scmd);
    }
    content.includes = ReadEntryList(file, "add");
    content.excludes = ReadEntryList(file, "exc");
    const ProfileSection application(file, "application");
    content.applicationName = application.Text("NameExeVpk");
    content.applicationFolder = application.Text("PatchExeVpk");
    content.runBeforeAdd = ProfileSection(file, "RunBeforeAdd").Text("ToRun");
    content.runBeforeDel = ProfileSection(file, "RunBeforeDel").Text("ToDel");
    return content;
}

void WriteVPK(std::string_view path, const QueryFileContent& content, std::string_view settingsFile) {
    const std::string file(path);
    const QueryRecord& q = content.query;
    // A value that would come back cut is refused before the first key is written.
    const ProfileSection add(file, "add"), exc(file, "exc"), s(file, "divers");
    for (const std::string& entry : content.includes) add.RequireReadable("entry", entry);
    for (const std::string& entry : content.excludes) exc.RequireReadable("entry", entry);
    for (const auto& [key, value] : {std::pair<const char*, const std::string&>{"arch", q.arch},
                                     {"dest", q.dest},
                                     {"note", q.note},
                                     {"smsg", q.smsg},
                                     {"stitre", q.stitre},
                                     {"iconame", q.iconame},
                                     {"spath", q.spath},
                                     {"scmd", q.scmd}})
        s.RequireReadable(key, value);
    ProfileSection(file, "RunService").RequireReadable("1", q.scheduleLine);
    profile::EraseSection(file, "add");
    profile::EraseSection(file, "exc");
    WriteEntryList(add, content.includes);
    WriteEntryList(exc, content.excludes);
    s.WriteText("arch", q.arch);
    s.WriteText("dest", q.dest);
    s.WriteFlag("sfx", q.sfx);
    s.WriteFlag("date", q.date);
    s.WriteFlag("pass", q.pass);
    s.WriteFlag("update", q.update);
    s.WriteInteger("level", q.level);
    s.WriteInteger("maxfile", q.maxfile);
    s.WriteText("note", q.note);
    s.WriteFlag("qw95", q.qw95);
    s.WriteFlag("autoclose", q.autoclose);
    s.WriteFlag("eject", q.eject);
    s.WriteFlag("msgsfx", q.msgsfx);
    s.WriteText("smsg", q.smsg);
    s.WriteInteger("iboxmsg", q.iboxmsg);
    s.WriteText("stitre", q.stitre);
    s.WriteText("iconame", q.iconame);
    s.WriteInteger("icoIndex", q.icoIndex);
    s.WriteFlag("sow", q.sow);
    s.WriteFlag("endmsg", q.endmsg);
    s.WriteFlag("runfile", q.runfile);
    s.WriteFlag("autorun", q.autorun);
    s.WriteFlag("chglst", q.chglst);
    const ProfileSection schedule(file, "RunService");
    if (!q.scheduleLine.empty())
        schedule.WriteText("1", q.scheduleLine);
    else
        schedule.DeleteKey("1");
    UpdateQueryScheduleList(settingsFile, file, q.scheduleLine);
    s.WriteText("spath", q.spath);
    if (q.runfile) s.WriteText("scmd", q.scmd);
}

void WriteApplicationFolder(std::string_view path, std::string_view folder) {
    ProfileSection(std::string(path), "application").WriteText("PatchExeVpk", folder);
}

bool DeleteQueryFile(std::string_view path) {
    return Fs().DeleteFile(path);
}

}  // namespace vpk

#include "model/query_keys.h"

namespace vpk {

void ReadSharedQueryKeys(const ProfileSection& s, QueryReader reader, QueryRecord& q) {
    q.arch = s.Text("arch", q.arch);
    q.dest = s.Text("dest", q.dest);
    q.sfx = s.Flag("sfx", q.sfx);
    q.date = s.Flag("date", q.date);
    q.subdir = s.Flag("subdir", q.subdir);
    q.storepath = s.Flag("storepath", q.storepath);
    q.pass = s.Flag("pass", q.pass);
    q.update = s.Flag("update", q.update);
    q.level = s.Integer("level", q.level);
    q.maxfile = s.Integer("maxfile", q.maxfile);
    q.note = s.Text("note", q.note);
    q.qw95 = s.Flag("qw95", q.qw95);
    q.autoclose = s.Flag("autoclose", q.autoclose);
    q.eject = s.Flag("eject", q.eject);
    q.stitre = s.Text("stitre", q.stitre);
    q.spath = s.Text("spath", q.spath);
    if (reader == QueryReader::Wizard) q.runfile = s.Flag("runfile", q.runfile);
    q.scmd = s.Text("scmd", q.scmd);
    q.msgsfx = s.Flag("msgsfx", q.msgsfx);
    q.smsg = s.Text("smsg", q.smsg);
    q.iboxmsg = s.Integer("iboxmsg", q.iboxmsg);
    q.iconame = s.Text("iconame", q.iconame);
    q.icoIndex = s.Integer("icoIndex", q.icoIndex);
    q.sow = s.Flag("sow", q.sow);
    q.endmsg = s.Flag("endmsg", q.endmsg);
    q.autorun = s.Flag("autorun", q.autorun);
    q.chglst = s.Flag("chglst", q.chglst);
}

std::string WizardDestinationDefault(const std::string& settingsFile) {
    std::string last = ProfileSection(settingsFile, "HistoryCfgDir").Text("last");
    return last.empty() ? std::string("C:\\") : last;
}

}  // namespace vpk

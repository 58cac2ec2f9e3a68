#pragma once
// A temporary installation for whole backup runs: drive C:, a removable A: of 1.44 MB, Z: kept inside
// the temporary folder (so an application search never walks the host), the English language file, a
// fixed clock on Tuesday 17 March 2026, scripted dialogs, and the zip libraries of the build.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/zip_engine.h"
#include "lang/language.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "runner/main_window_model.h"
#include "runner/run_state.h"
#include "runner/runner.h"
#include "tests/support/test_support.h"

namespace vpk::test {

inline constexpr LocalDateTime kTuesday{2026, 3, 17, 10, 30, 0, 0, 3};

struct RunResult {
    bool succeeded = false;
    std::vector<std::string> log;     // the run log memo at the end
    std::vector<std::string> errors;  // ListBox1
    std::vector<std::string> inUse;   // ListBox2
    std::string finalMessage;         // Lb3dFinalInfos
    std::string destArchive;
    int ejects = 0;
    int shutdowns = 0;
};

class RunnerFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HostExists(InstallDir() + "/libvpkzip.so") || !HostExists(InstallDir() + "/english.lgn"))
            GTEST_SKIP() << "zip libraries or assets not built";
        install_.AddDrive('A', "removable", 1457664);
        // Z: is the temporary folder itself: the program folder gets a virtual form, and a search of
        // every drive stays inside the test.
        const std::string table = install_.ProgramHost() + "/drives.ini";
        WriteHostFile(table, ReadHostFile(table) + "[Z]\npath=" + install_.Root() + "\n");
        Fs().SetDriveTable(DriveTable::Load(table));
        WriteHostFile(install_.ProgramHost() + "/english.lgn", ReadHostFile(InstallDir() + "/english.lgn"));
        Setting("general", "lang", "English");
        Setting("general", "wav", "0");
        Clock::Install(&clock_);
        Dialogs::Install(&dialogs_);
    }
    void TearDown() override {
        Clock::Install(nullptr);
        Dialogs::Install(nullptr);
    }

    std::string Prog() const { return Fs().ToVirtual(install_.ProgramHost()) + "\\"; }
    std::string Ini() const { return Prog() + "vortipak.ini"; }
    std::string C(const std::string& relative) const { return install_.DriveHost('C') + "/" + relative; }
    std::string A(const std::string& relative) const { return install_.DriveHost('A') + "/" + relative; }
    void Setting(const std::string& section, const std::string& key, const std::string& value) {
        profile::WriteString(install_.ProgramHost() + "/vortipak.ini", section, key, value);
    }
    // A numbered query saving C:\<data> to <dest>.
    void Query(const std::string& number, const std::string& data, const std::string& dest,
               const std::string& arch, std::vector<std::pair<std::string, std::string>> more = {}) {
        Setting(number, "data", data);
        Setting(number, "dest", dest);
        Setting(number, "arch", arch);
        for (const auto& [k, v] : more) Setting(number, k, v);
    }
    std::string Text(const std::string& key) const {
        TLanguage language;
        language.SetFN(install_.ProgramHost() + "/english.lgn");
        return language.MessageText(key);
    }

    RunResult Run(const std::vector<std::string>& args, RunnerHooks hooks = {}) {
        RunResult result;
        MainWindowModel window;
        RunState state;
        hooks.eject = [&](char) { return ++result.ejects, true; };
        hooks.shutdown = [&] { return ++result.shutdowns, true; };
        hooks.playSound = [](const std::string&) {};
        Runner runner(window, state, {Prog(), InstallDir()}, std::move(hooks));
        runner.Start(args, SwShowMinNoActive);
        runner.Dispatch();
        runner.BtQuitter3DClick();
        result.succeeded = runner.Succeeded();
        result.log = window.LogLines();
        result.errors = window.Lines(ListId::ListBox1);
        result.inUse = window.Lines(ListId::ListBox2);
        result.finalMessage = window.Label(LabelId::Lb3dFinalInfos).text;
        result.destArchive = state.DestArchive;
        return result;
    }

    // Names stored in an archive, in order.
    static std::vector<std::string> Entries(const std::string& hostArchive) {
        TZipEngine engine;
        engine.SetUnattended(true);
        engine.SetDLLDirectory(InstallDir());
        engine.SetZipFileName(hostArchive);
        std::vector<std::string> names;
        for (const auto& e : engine.Entries()) names.push_back(e.name);
        return names;
    }

    // True when every line of wanted appears in log, in that order (other lines may come between).
    static ::testing::AssertionResult InOrder(const std::vector<std::string>& log,
                                              const std::vector<std::string>& wanted) {
        std::size_t at = 0;
        for (const auto& w : wanted) {
            while (at < log.size() && log[at].find(w) == std::string::npos) ++at;
            if (at == log.size()) return ::testing::AssertionFailure() << "missing (in order): " << w;
            ++at;
        }
        return ::testing::AssertionSuccess();
    }

    TestInstallation install_;
    FixedClock clock_{kTuesday};
    ScriptedDialogs dialogs_;
};

}  // namespace vpk::test

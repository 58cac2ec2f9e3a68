#pragma once
// A temporary installation with the shipped language files, pictures and sounds, scripted dialogs,
// and a main window over a fresh run state and window model.
#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/path_routines.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "runner/form1_window.h"
#include "runner/runner.h"
#include "support/test_support.h"

namespace vpk::test {

// build/screenshots: the PNG files a person looks at.
inline QString ScreenshotDir() {
    QDir dir(QCoreApplication::applicationDirPath() + "/../screenshots");
    dir.mkpath(".");
    return dir.absolutePath();
}

class WindowFixture {
  public:
    WindowFixture() {
        namespace fs = std::filesystem;
        installation.AddDrive('A', "removable", 1457664);
        // Z: is the temporary folder itself, so the program folder has a virtual form and nothing
        // looks at the host's own folders.
        const std::string table = installation.ProgramHost() + "/drives.ini";
        WriteHostFile(table, ReadHostFile(table) + "[Z]\npath=" + installation.Root() + "\n");
        FileSystem::Instance().SetDriveTable(DriveTable::Load(table));
        for (const auto& entry : fs::directory_iterator(InstallDir())) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".lgn" || ext == ".gif" || ext == ".png" || ext == ".wav")
                fs::copy_file(entry.path(), fs::path(installation.ProgramHost()) / entry.path().filename());
        }
        Dialogs::Install(&dialogs);
    }
    ~WindowFixture() { Dialogs::Install(nullptr); }

    std::string Settings() const { return ProgramFolder() + "vortipak.ini"; }
    void Set(const char* section, const char* key, const std::string& value) {
        profile::WriteString(Settings(), section, key, value);
    }
    std::string ProgramFile(const std::string& name) const { return installation.ProgramHost() + "/" + name; }

    // A window made as the program makes it, over a runner started with these arguments.
    TForm1& Window(const std::vector<std::string>& args = {}) {
        if (!window) {
            RunnerHooks hooks;
            hooks.eject = [this](char) { return ++ejects, true; };
            hooks.shutdown = [this] { return ++shutdowns, true; };
            hooks.playSound = [](const std::string&) {};
            runner =
                std::make_unique<Runner>(model, state, RunnerOptions{ProgramFolder(), InstallDir()}, hooks);
            runner->Start(args, SwShowNormal);
            window = std::make_unique<TForm1>(*runner, model, state);
            window->EndApplication = [this] { ++ended; };
        }
        return *window;
    }
    // Another start of the program in the same installation.
    void Restart() {
        window.reset();
        runner.reset();
        model = MainWindowModel();
        state = RunState();
    }

    TestInstallation installation;
    ScriptedDialogs dialogs;
    RunState state;
    MainWindowModel model;
    std::unique_ptr<Runner> runner;
    std::unique_ptr<TForm1> window;
    int ended = 0;
    int ejects = 0;
    int shutdowns = 0;
};

}  // namespace vpk::test

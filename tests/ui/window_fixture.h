#pragma once
// A temporary installation with the shipped language files, pictures and sounds, scripted dialogs,
// and a main window over a fresh run state and window model.
#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/dialogs.h"
#include "model/path_routines.h"
#include "platform/profile_file.h"
#include "runner/form1_window.h"
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

    // A window made as the program makes it: created, then the interactive mode.
    TForm1& Window() {
        if (!window) {
            window = std::make_unique<TForm1>(model, state);
            window->EndApplication = [this] { ++ended; };
        }
        return *window;
    }

    TestInstallation installation;
    ScriptedDialogs dialogs;
    RunState state;
    MainWindowModel model;
    std::unique_ptr<TForm1> window;
    int ended = 0;
};

}  // namespace vpk::test

#pragma once
// A temporary installation with drive C:, its vortipak.ini and a fixed clock, for the model tests.
#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace vpk::test {

class ModelTest : public ::testing::Test {
  protected:
    ModelTest() : clock_(LocalDateTime{2026, 7, 3, 10, 30, 0, 0, 6}) { Clock::Install(&clock_); }
    ~ModelTest() override { Clock::Install(nullptr); }

    // Host path of a file on drive C: ("DATA/a.txt").
    std::string OnC(const std::string& relative) const { return install_.DriveHost('C') + "/" + relative; }
    std::string ProgramFile(const std::string& name) const { return install_.ProgramHost() + "/" + name; }
    // vortipak.ini of the installation, by its virtual path.
    std::string Settings() const { return Fs().ToVirtual(ProgramFile("vortipak.ini")); }
    void WriteSettings(const std::string& contents) const {
        WriteHostFile(ProgramFile("vortipak.ini"), contents);
    }
    std::string SettingsText() const { return ReadHostFile(ProgramFile("vortipak.ini")); }

    TestInstallation install_;
    FixedClock clock_;
};

}  // namespace vpk::test

#pragma once
// A temporary installation with drive C:, the libraries loaded, and helpers to read archives back.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "engine/zip_archive_reader.h"
#include "library_harness.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace vpk::test {

class EngineLibTest : public ::testing::Test {
  protected:
    std::string C(const std::string& relative) const { return install.DriveHost('C') + "/" + relative; }

    // Host files under root, relative name → contents.
    static std::map<std::string, std::string> ReadTree(const std::string& root) {
        std::map<std::string, std::string> files;
        if (!std::filesystem::exists(root)) return files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(root))
            if (e.is_regular_file())
                files[std::filesystem::relative(e.path(), root).string()] = ReadHostFile(e.path().string());
        return files;
    }

    // Entry names and methods of an archive, read with the libraries' own directory reader.
    static std::map<std::string, std::uint16_t> Methods(const std::string& virtualArchive) {
        std::map<std::string, std::uint16_t> out;
        zip::ZipArchiveReader reader(virtualArchive);
        for (const auto& e : reader.Entries()) out[e.name] = e.header.method;
        return out;
    }

    std::int32_t ExtractAllTo(const std::string& archive, const std::string& virtualFolder,
                              UnzipRequest r = {}) {
        Fs().CreateFolderChain(virtualFolder);
        EXPECT_TRUE(Fs().SetCurrentFolder(virtualFolder));
        r.archive = archive;
        return lib.Unzip(r);
    }

    TestInstallation install;
    LibraryHarness lib;
};

// Quotes a host path for a shell command.
inline std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

}  // namespace vpk::test

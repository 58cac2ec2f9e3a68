// Adding and extracting through the libraries' exports: levels, stored suffixes, names, selection.
#include <random>

#include "enginelib_fixture.h"

namespace vpk::test {
namespace {

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(size, '\0');
    for (auto& c : s) c = static_cast<char>(gen());
    return s;
}

std::string Text(std::size_t size) {
    std::string s;
    for (int i = 0; s.size() < size; ++i) s += "line " + std::to_string(i) + " of a backup test file\n";
    s.resize(size);
    return s;
}

class RoundTripTest : public EngineLibTest, public ::testing::WithParamInterface<int> {};

TEST_P(RoundTripTest, ExtractedTreeEqualsTheSourceAndTestsClean) {
    TestTree(C("src"), {{"a.txt", Text(50000)},
                        {"empty.dat", ""},
                        {"random.bin", RandomBytes(70000, 1)},
                        {"sub/deeper/b.txt", Text(3000)},
                        // Larger than the in-memory bound: streamed in chunks, the random half stored.
                        {"big/large.log", Text(10u << 20) + RandomBytes(7u << 20, 2)}});
    ZipRequest add;
    add.archive = "C:\\out\\a.zip";
    add.specs = {"C:\\src\\*.*"};
    add.recurse = true;
    add.level = GetParam();
    Fs().CreateFolder("C:\\out");
    ASSERT_EQ(lib.Zip(add), 5);
    EXPECT_EQ(lib.Events(kActionFileStart).size(), 5u);
    ASSERT_EQ(lib.Events(kActionFileTotal).size(), 1u);
    EXPECT_EQ(lib.Events(kActionFileTotal)[0].number, 5);

    const auto methods = Methods("C:\\out\\a.zip");
    ASSERT_EQ(methods.size(), 5u);
    EXPECT_EQ(methods.at("src/random.bin"), zip::kMethodStored) << "incompressible data is stored";
    EXPECT_EQ(methods.at("src/a.txt"), GetParam() == 0 ? zip::kMethodStored : zip::kMethodDeflated);
    EXPECT_EQ(methods.at("src/big/large.log"), GetParam() == 0 ? zip::kMethodStored : zip::kMethodDeflated);

    UnzipRequest test;
    test.archive = "C:\\out\\a.zip";
    test.test = true;
    EXPECT_EQ(lib.Unzip(test), 5);
    EXPECT_FALSE(lib.HasMessage(kLibErrCrc));

    ASSERT_EQ(ExtractAllTo("C:\\out\\a.zip", "C:\\dest"), 5);
    EXPECT_EQ(ReadTree(C("dest/src")), ReadTree(C("src")));
}

INSTANTIATE_TEST_SUITE_P(Levels, RoundTripTest, ::testing::Values(0, 1, 6, 9));

TEST_F(EngineLibTest, StoreSuffixesAreStoredOthersDeflated) {
    TestTree(C("src"), {{"photo.PNG", Text(20000)}, {"notes.txt", Text(20000)}, {"old.zip", Text(20000)}});
    ZipRequest add;
    add.archive = "C:\\s.zip";
    add.specs = {"C:\\src\\*.*"};
    add.storeSuffixes = ".gif:.png:.z:.zip";
    ASSERT_EQ(lib.Zip(add), 3);
    const auto methods = Methods("C:\\s.zip");
    EXPECT_EQ(methods.at("src/photo.PNG"), zip::kMethodStored);
    EXPECT_EQ(methods.at("src/old.zip"), zip::kMethodStored);
    EXPECT_EQ(methods.at("src/notes.txt"), zip::kMethodDeflated);
}

TEST_F(EngineLibTest, SelectionFollowsRecursionHiddenExclusionsAndFolderNames) {
    TestTree(C("data"), {{"a.txt", "a"},
                         {"b.doc", "b"},
                         {".hidden.txt", "h"},
                         {"sub/c.txt", "c"},
                         {"sub/skip.tmp", "t"},
                         {"VPK_RUN.EXE", "x"}});
    struct Case {
        const char* what;
        std::vector<std::string> specs;
        bool recurse, hidden, dirNames, folderEntries;
        std::vector<std::string> exclusions;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"mask, no recursion", {"C:\\data\\*.txt"}, false, false, true, false, {}, {"data/a.txt"}},
        {"recursion and hidden",
         {"C:\\data\\*.txt"},
         true,
         true,
         true,
         false,
         {},
         {"data/.hidden.txt", "data/a.txt", "data/sub/c.txt"}},
        {"without folder names", {"C:\\data\\*.txt"}, true, false, false, false, {}, {"a.txt", "c.txt"}},
        {"exclusions",
         {"C:\\data"},
         true,
         false,
         true,
         false,
         {"*.tmp", "VPK_RUN.EXE"},
         {"data/a.txt", "data/b.doc", "data/sub/c.txt"}},
        {"folder entries", {"C:\\data\\*.doc"}, true, false, true, true, {}, {"data/b.doc", "data/sub/"}},
        {"relative to the current folder",
         {"data\\sub\\*.*"},
         false,
         false,
         true,
         false,
         {},
         {"data/sub/c.txt", "data/sub/skip.tmp"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ZipRequest add;
        add.archive = "C:\\sel" + std::to_string(n++) + ".zip";
        add.specs = c.specs;
        add.recurse = c.recurse;
        add.hidden = c.hidden;
        add.dirNames = c.dirNames;
        add.folderEntries = c.folderEntries;
        add.exclusions = c.exclusions;
        ASSERT_EQ(lib.Zip(add), static_cast<std::int32_t>(c.names.size()));
        std::vector<std::string> names;
        for (const auto& [name, method] : Methods(add.archive)) names.push_back(name);
        EXPECT_EQ(names, c.names);
    }
}

TEST_F(EngineLibTest, AnArchiveIsNeverStoredIntoItself) {
    TestTree(C("d"), {{"a.txt", "a"}});
    ZipRequest add;
    add.archive = "C:\\d\\self.zip";
    add.specs = {"C:\\d\\*.*"};
    ASSERT_EQ(lib.Zip(add), 1);
    add.specs = {"C:\\d\\*.*"};
    ASSERT_EQ(lib.Zip(add), 1);  // a.txt replaced; self.zip never taken
    EXPECT_EQ(Methods("C:\\d\\self.zip").count("d/self.zip"), 0u);
}

TEST_F(EngineLibTest, NothingToAddWritesNoArchive) {
    ZipRequest add;
    add.archive = "C:\\none.zip";
    add.specs = {"C:\\missing\\*.*"};
    EXPECT_EQ(lib.Zip(add), 0);
    EXPECT_TRUE(lib.HasMessage(kLibErrNothingToDo));
    EXPECT_FALSE(HostExists(C("none.zip")));
}

}  // namespace
}  // namespace vpk::test

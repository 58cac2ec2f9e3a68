#include "engine/zip_engine.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/library_binding.h"
#include "engine/zip_messages.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/program_paths.h"
#include "support/test_support.h"
#include "zip_test_archive.h"

namespace vpk {
namespace {

using namespace std::string_literals;

class ZipEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Dialogs::Install(&dialogs_);
        engine_.SetDLLDirectory(FAKE_LIBRARY_DIR);
        engine_.SetUnattended(true);
        engine_.OnMessage = [this](TZipEngine&, int code, const std::string& text) {
            messages_.emplace_back(code, text);
        };
    }
    void TearDown() override { Dialogs::Install(nullptr); }

    // The command record the fake library reported, "" when no library ran.
    std::string Record() const {
        for (const auto& m : messages_) {
            if (m.second.rfind("record ", 0) == 0) return m.second;
        }
        return {};
    }
    int RecordCount() const {
        int n = 0;
        for (const auto& m : messages_) n += m.second.rfind("record ", 0) == 0;
        return n;
    }
    bool Said(const std::string& part) const {
        for (const auto& m : messages_) {
            if (m.second.find(part) != std::string::npos) return true;
        }
        return false;
    }
    std::string WriteArchive(const std::string& comment = {}) {
        const std::string path = dir_ / "a.zip";
        test::WriteHostFile(path,
                            test::BuildTestArchive({{.name = "x.txt", .data = "x"}}, {.comment = comment}));
        return path;
    }
    void Add(std::vector<std::string> specs) {
        messages_.clear();
        engine_.FSpecArgs() = std::move(specs);
        engine_.AddFiles();
    }

    test::TempDir dir_;
    ScriptedDialogs dialogs_;
    TZipEngine engine_;
    std::vector<std::pair<int, std::string>> messages_;
};

TEST_F(ZipEngineTest, PropertiesKeepTheirRules) {
    TZipEngine e;
    EXPECT_EQ(e.AddCompLevel(), 9);
    EXPECT_EQ(e.SFXOptions(), SFXOpts{SFXOptsEnum::SFXCheckSize});
    EXPECT_EQ(e.SFXPath(), "VpkSFX.bin");
    EXPECT_EQ(e.SFXCaption(), "Self-extracting Archive");
    EXPECT_EQ(e.HowToDelete(), DeleteOpts::htdAllowUndo);
    EXPECT_EQ(e.CodePage(), CodePageOpts::cpAuto);
    EXPECT_EQ(e.PasswordReqCount(), 1u);
    EXPECT_FALSE(e.AddStoreSuffixes().Has(AddStoreSuffixEnum::assEXE));
    EXPECT_TRUE(e.AddStoreSuffixes().Has(AddStoreSuffixEnum::assLHA));

    e.SetPasswordReqCount(40);
    EXPECT_EQ(e.PasswordReqCount(), 15u);
    e.SetVersionInfo("9.99");
    EXPECT_EQ(e.VersionInfo(), "1.60");
    e.SetDLLDirectory("C:\\VPK\\");
    EXPECT_EQ(e.DLLDirectory(), "C:\\VPK");
    e.SetPassword(std::string(300, 'p'));
    EXPECT_EQ(e.Password().size(), 255u);
}

TEST_F(ZipEngineTest, NumberedMessagesGoToOnMessageAndABoxOnlyWhenAttended) {
    engine_.ShowZipMessage(zipmsg::kNoZipFile, " (x)");
    EXPECT_EQ(engine_.ErrorCode(), zipmsg::kNoZipFile);
    EXPECT_EQ(engine_.LastMessage(), "Error - no zip file specified! (x)");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].first, 0);
    EXPECT_TRUE(dialogs_.Asked().empty());

    engine_.SetUnattended(false);
    engine_.ShowZipMessage(zipmsg::kNoFilesToZip);
    ASSERT_EQ(dialogs_.Asked().size(), 1u);
    EXPECT_EQ(dialogs_.Asked()[0].lines, std::vector<std::string>{"Error - no files to zip!"});
}

TEST_F(ZipEngineTest, AddFilesRefusesBeforeAnyLibraryRuns) {
    struct Case {
        const char* what;
        std::function<void(TZipEngine&)> setUp;
        int message;
    };
    const Case cases[] = {
        {"no specifications", [](TZipEngine& e) { e.FSpecArgs().clear(); }, zipmsg::kNoFilesToZip},
        {"no archive name", [](TZipEngine& e) { e.SetZipFileName(""); }, zipmsg::kNoZipFile},
        {"unattended encryption without password",
         [](TZipEngine& e) { e.SetAddOptions(AddOpts{AddOptsEnum::AddEncrypt}); },
         zipmsg::kUnattendedNoPassword},
    };
    for (const Case& c : cases) {
        engine_.SetZipFileName(dir_ / "new.zip");
        engine_.SetAddOptions({});
        messages_.clear();
        engine_.FSpecArgs() = {"return:3"};
        c.setUp(engine_);
        engine_.AddFiles();
        EXPECT_EQ(engine_.ErrorCode(), c.message) << c.what;
        EXPECT_EQ(engine_.SuccessCount(), 0) << c.what;
        EXPECT_EQ(Record(), "") << c.what;
    }
}

TEST_F(ZipEngineTest, MissingLibraryOrExportIsReportedAndNothingIsDone) {
    test::TempDir empty;
    SetProgramFolderHost(empty.Path());
    struct Case {
        std::string folder;
        int message;
    };
    const Case cases[] = {{empty.Path(), zipmsg::kZipNotFound},
                          {FAKE_BROKEN_LIBRARY_DIR, zipmsg::kZipExecMissing}};
    for (const Case& c : cases) {
        engine_.SetDLLDirectory(c.folder);
        engine_.SetZipFileName(dir_ / "new.zip");
        Add({"return:3"});
        EXPECT_EQ(engine_.ErrorCode(), c.message) << c.folder;
        EXPECT_EQ(engine_.SuccessCount(), 0);
        EXPECT_FALSE(LibraryLease::IsLoaded(EngineLibrary::Zip));
        EXPECT_FALSE(engine_.ZipBusy());
    }
    SetProgramFolderHost({});
}

TEST_F(ZipEngineTest, TraceReportsTheLoadAndTheLibraryIsFreedAfterTheCall) {
    engine_.SetTrace(true);
    engine_.SetZipFileName(dir_ / "new.zip");
    Add({"return:0"});
    EXPECT_TRUE(Said("VPKZIP Loaded"));
    EXPECT_NE(Record().find("record "), std::string::npos);
    EXPECT_FALSE(LibraryLease::IsLoaded(EngineLibrary::Zip));
}

TEST_F(ZipEngineTest, ZipRecordCarriesTheOptions) {
    using enum AddOptsEnum;
    struct Case {
        const char* what;
        AddOpts options;
        AddStoreSuffixSet suffixes;
        bool deleting;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"defaults",
         {},
         DefaultStoreSuffixes(),
         false,
         {"suffixes='.gif:.png:.z:.zip:.zoo:.arc:.lzh:.arj:.taz:.tgz:.lha'", "level=9", "nodirnames=-1",
          "noseparate=-1", "recurse=0", "m56=-1", "m80=-1", "delete=0", "handle=0", "temp=null", "check=7"}},
        {"no suffixes", {}, {}, false, {"suffixes=null"}},
        {"exe only", {}, AddStoreSuffixSet{AddStoreSuffixEnum::assEXE}, false, {"suffixes='.exe'"}},
        {"update wins over freshen", {AddUpdate, AddFreshen}, {}, false, {"update=-1", "freshen=0"}},
        {"freshen", {AddFreshen}, {}, false, {"update=0", "freshen=-1"}},
        {"folders, recursion, encryption",
         {AddDirNames, AddRecurseDirs, AddEncrypt, AddSeparateDirs, AddArchiveOnly},
         {},
         false,
         {"nodirnames=0", "recurse=65535", "encrypt=-1", "noseparate=0", "archiveonly=1", "reset=0"}},
        {"delete form",
         {AddDirNames, AddRecurseDirs, AddEncrypt, AddMove, AddUpdate, AddFreshen},
         {},
         true,
         {"encrypt=0", "nodirnames=0", "recurse=0", "m80=0", "move=0", "delete=-1", "update=0", "freshen=0"}},
    };
    const std::string archive = WriteArchive("kept comment");
    for (const Case& c : cases) {
        engine_.SetZipFileName(archive);
        engine_.SetAddOptions(c.options);
        engine_.SetAddStoreSuffixes(c.suffixes);
        engine_.SetPassword("secret");
        engine_.FSpecArgsExcl() = {"*.tmp", "*.bak"};
        messages_.clear();
        engine_.FSpecArgs() = {"return:0"};
        c.deleting ? engine_.DeleteFiles() : engine_.AddFiles();
        const std::string record = Record();
        for (const auto& part : c.expected)
            EXPECT_NE(record.find(part), std::string::npos) << c.what << ": " << part;
        EXPECT_NE(record.find("excl=2"), std::string::npos) << c.what;
        EXPECT_NE(record.find("comment='kept comment'"), std::string::npos) << c.what;
        EXPECT_NE(record.find("password='secret'"), std::string::npos) << c.what;
    }
    engine_.SetPassword(std::string(100, 'p'));
    Add({"return:0"});
    EXPECT_NE(Record().find("password='" + std::string(80, 'p') + "'"), std::string::npos);
}

TEST_F(ZipEngineTest, DirectoryIsReadAgainOnlyAfterAnAddThatChangedSomething) {
    int updates = 0;
    engine_.OnDirUpdate = [&](TZipEngine&) { ++updates; };
    engine_.SetZipFileName(WriteArchive());
    ASSERT_EQ(updates, 1);
    engine_.FSpecArgsExcl() = {"*.tmp"};
    Add({"return:0"});
    EXPECT_EQ(updates, 1);
    EXPECT_TRUE(engine_.FSpecArgs().empty());
    EXPECT_TRUE(engine_.FSpecArgsExcl().empty());
    Add({"return:2"});
    EXPECT_EQ(engine_.SuccessCount(), 2);
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(engine_.EntryCount(), 1);
}

TEST_F(ZipEngineTest, SecondAddFromAProgressHandlerDoesNothing) {
    engine_.SetZipFileName(dir_ / "new.zip");
    bool busySeen = false;
    engine_.OnProgress = [&](TZipEngine& e, ProgressType type, const std::string&, std::int64_t) {
        if (type != ProgressType::FileStart) return;
        busySeen = e.ZipBusy();
        e.FSpecArgs() = {"return:9"};
        e.AddFiles();
    };
    Add({"progress", "return:1"});
    EXPECT_TRUE(busySeen);
    EXPECT_EQ(RecordCount(), 1);
    EXPECT_EQ(engine_.SuccessCount(), 1);
    EXPECT_FALSE(engine_.ZipBusy());
}

TEST_F(ZipEngineTest, CancelStopsTheLibraryAtItsNextCallback) {
    engine_.SetZipFileName(dir_ / "new.zip");
    engine_.OnProgress = [](TZipEngine& e, ProgressType type, const std::string&, std::int64_t) {
        if (type == ProgressType::BytesDone) e.SetCancel(true);
    };
    Add({"cancel"});
    EXPECT_TRUE(Said("stopped after 1"));
    EXPECT_FALSE(engine_.Cancel());
}

TEST_F(ZipEngineTest, ExtractRecordAndTheUnattendedPasswordRule) {
    engine_.SetZipFileName(WriteArchive());
    engine_.SetPasswordReqCount(5);
    engine_.SetExtrOptions(ExtrOpts{ExtrOptsEnum::ExtrTest, ExtrOptsEnum::ExtrDirNames,
                                    ExtrOptsEnum::ExtrOverWrite, ExtrOptsEnum::ExtrUpdate,
                                    ExtrOptsEnum::ExtrFreshen});
    messages_.clear();
    engine_.FSpecArgs() = {"return:1"};
    engine_.ExtractFiles();
    EXPECT_TRUE(Said("Warning - Unattended Extract: possible not all files extracted"));
    for (const char* part : {"reqcount=0", "test=-1", "dirnames=-1", "overwrite=-1", "update=-1", "freshen=0",
                             "m40=-1", "check=7"})
        EXPECT_NE(Record().find(part), std::string::npos) << part;
    EXPECT_EQ(engine_.PasswordReqCount(), 5u);
    EXPECT_EQ(engine_.SuccessCount(), 1);
    EXPECT_TRUE(engine_.FSpecArgs().empty());

    engine_.OnPasswordError = [](TZipEngine&, std::string&, const std::string&, std::uint32_t&) {};
    messages_.clear();
    engine_.ExtractFiles();
    EXPECT_NE(Record().find("reqcount=5"), std::string::npos);
    EXPECT_FALSE(Said("Unattended Extract"));
}

TEST_F(ZipEngineTest, ExtractWithoutAnExistingArchiveReportsIt) {
    engine_.SetZipFileName(dir_ / "missing.zip");
    engine_.FSpecArgs() = {"return:1"};
    engine_.ExtractFiles();
    EXPECT_EQ(engine_.ErrorCode(), zipmsg::kNoZipFile);
    EXPECT_EQ(Record(), "");
}

// The callback, driven directly as a library would.
class LibraryCallbackTest : public ZipEngineTest {
  protected:
    CallbackRecord Call(std::int32_t action, std::int32_t code, std::int64_t number, const std::string& text,
                        std::int32_t* result = nullptr) {
        CallbackRecord r{};
        r.caller = &engine_;
        r.actionCode = action;
        r.code = code;
        r.number = static_cast<std::int32_t>(number);
        r.number64 = number;
        std::snprintf(r.text, sizeof r.text, "%s", text.c_str());
        const std::int32_t returned = TZipEngine::LibraryCallbackEntry(&r);
        if (result) *result = returned;
        return r;
    }
};

TEST_F(LibraryCallbackTest, ProgressAndMessagesBecomeEvents) {
    std::vector<std::tuple<ProgressType, std::string, std::int64_t>> progress;
    engine_.OnProgress = [&](TZipEngine& sender, ProgressType type, const std::string& name,
                             std::int64_t size) {
        EXPECT_EQ(&sender, &engine_);
        progress.emplace_back(type, name, size);
    };
    Call(kActionFileTotal, 0, 3, "");
    Call(kActionSizeTotal, 0, 5'000'000'000LL, "");
    Call(kActionFileStart, 0, 5'000'000'000LL, "dir/sub/big.bin \t\r\n");
    Call(kActionBytesDone, 0, 4096, "");
    Call(kActionBatchEnd, 0, 0, "");
    using P = ProgressType;
    EXPECT_EQ(progress, (std::vector<std::tuple<P, std::string, std::int64_t>>{
                            {P::FileTotal, "", 3},
                            {P::SizeTotal, "", 5'000'000'000LL},
                            {P::FileStart, "dir\\sub\\big.bin", 5'000'000'000LL},
                            {P::BytesDone, "", 4096},
                            {P::BatchEnd, "", 0}}));

    Call(kActionMessage, 0x1FF, 0, "cannot read x/y.txt  ");
    EXPECT_EQ(engine_.ErrorCode(), 0xFF);
    EXPECT_EQ(engine_.LastMessage(), "cannot read x\\y.txt");
    EXPECT_EQ(messages_.back(), (std::pair<int, std::string>{0x1FF, "cannot read x\\y.txt"}));
    Call(kActionMessage, 0, 0, "adding: a.txt");
    EXPECT_EQ(engine_.ErrorCode(), 0xFF);  // information leaves the code alone
    EXPECT_EQ(engine_.LastMessage(), "adding: a.txt");
}

TEST_F(LibraryCallbackTest, PasswordRequestsAreAnsweredThroughTheEngine) {
    struct Case {
        const char* what;
        bool handler;
        std::string answer;
        std::uint32_t repeatAnswer;
        int expectedCode, expectedNumber;
        std::string expectedText;
        int message;
    };
    const Case cases[] = {
        {"handler gives one", true, "pw", 40, 1, 15, "pw", 0},
        {"handler gives a long one", true, std::string(90, 'k'), 3, 1, 3, std::string(80, 'k'), 0},
        {"handler gives none", true, "", 7, 0, 0, "secret.txt", 0},
        {"unattended without handler", false, "", 0, 0, 0, "secret.txt", zipmsg::kNoPasswordExtracting},
    };
    for (const Case& c : cases) {
        engine_.OnPasswordError = nullptr;
        std::string askedFor;
        if (c.handler) {
            engine_.OnPasswordError = [&](TZipEngine&, std::string& password, const std::string& file,
                                          std::uint32_t& repeat) {
                EXPECT_TRUE(password.empty());
                askedFor = file;
                EXPECT_EQ(repeat, 4u);
                password = c.answer;
                repeat = c.repeatAnswer;
            };
        }
        messages_.clear();
        const CallbackRecord r = Call(kActionPassword, 0, 4, "secret.txt");
        EXPECT_EQ(r.code, c.expectedCode) << c.what;
        EXPECT_EQ(r.number, c.expectedNumber) << c.what;
        EXPECT_EQ(std::string(r.text), c.expectedText) << c.what;
        if (c.handler) EXPECT_EQ(askedFor, "secret.txt");
        if (c.message) EXPECT_EQ(engine_.ErrorCode(), c.message) << c.what;
    }
    engine_.OnPasswordError = nullptr;
    const CallbackRecord adding = Call(kActionPassword, 1, 1, "a.txt");
    EXPECT_EQ(adding.code, 0);
    EXPECT_EQ(engine_.ErrorCode(), zipmsg::kNoPasswordAdding);
}

TEST_F(LibraryCallbackTest, QuestionsAreAnsweredByTheirEvents) {
    EXPECT_EQ(Call(kActionCrcError, 0x1111, 0x2222, "f").code, 2);  // no handler
    engine_.OnCRC32Error = [](TZipEngine&, const std::string& file, std::uint32_t found,
                              std::uint32_t expected, bool& extract) {
        EXPECT_EQ(file, "d\\f");
        EXPECT_EQ(found, 0x1111u);
        EXPECT_EQ(expected, 0x2222u);
        EXPECT_TRUE(extract);
        extract = false;
    };
    EXPECT_EQ(Call(kActionCrcError, 0x1111, 0x2222, "d/f").code, 0);

    engine_.OnExtractOverwrite = [](TZipEngine&, const std::string&, bool older, bool& overwrite) {
        overwrite = older;
    };
    EXPECT_EQ(Call(kActionFileExists, 1, 0, "f").number, 1);
    EXPECT_EQ(Call(kActionFileExists, 0, 1, "f").number, 0);

    std::pair<UnZipSkipTypes, int> skipped{};
    engine_.OnExtractSkipped = [&](TZipEngine&, const std::string&, UnZipSkipTypes type, int error) {
        skipped = {type, error};
    };
    Call(kActionFileSkipped, 6, 0x103, "f");
    EXPECT_EQ(skipped, (std::pair<UnZipSkipTypes, int>{kSkipBadPassword, 6}));

    engine_.OnSetNewName = [](TZipEngine&, std::string& name, bool& changed) {
        EXPECT_EQ(name, "old name  ");  // untrimmed
        name = "new/name";
        changed = true;
    };
    const CallbackRecord renamed = Call(kActionSetNewName, 0, 0, "old name  ");
    EXPECT_EQ(renamed.actionCode, kActionPassword);
    EXPECT_EQ(std::string(renamed.text), "new/name");
}

class CountingPump : public EventPump {
  public:
    void ProcessPending() override { ++count; }
    int count = 0;
};

TEST_F(LibraryCallbackTest, EveryCallPumpsEventsAndCancelStopsTheLibrary) {
    CountingPump pump;
    EventPump::Install(&pump);
    std::int32_t result = 1;
    Call(kActionBytesDone, 0, 1, "", &result);
    EXPECT_EQ(result, 0);
    engine_.SetCancel(true);
    Call(99, 0, 0, "", &result);  // unknown codes do nothing but still answer
    EXPECT_EQ(result, -1);
    EXPECT_EQ(pump.count, 2);
    engine_.OnProgress = [](TZipEngine&, ProgressType, const std::string&, std::int64_t) {
        throw std::runtime_error("handler failed");
    };
    engine_.SetCancel(false);
    Call(kActionBytesDone, 0, 1, "", &result);
    EXPECT_EQ(result, -1);  // a failing handler stops the library instead of unwinding through it
    EventPump::Install(nullptr);
}

}  // namespace
}  // namespace vpk

#include "library_harness.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "support/test_support.h"

namespace vpk::test {

LibraryHarness::LibraryHarness() {
    const std::string dir = InstallDir();
    zipLib_ = dlopen((dir + "/libvpkzip.so").c_str(), RTLD_NOW);
    unzLib_ = dlopen((dir + "/libvpkunz.so").c_str(), RTLD_NOW);
    if (!zipLib_ || !unzLib_) {
        ADD_FAILURE() << "cannot load the libraries from " << dir << ": " << dlerror();
        return;
    }
    zipExec_ = reinterpret_cast<ZipExecFn>(dlsym(zipLib_, kZipExecName));
    unzExec_ = reinterpret_cast<UnzExecFn>(dlsym(unzLib_, kUnzExecName));
    auto zipVersion = reinterpret_cast<GetZipVersionFn>(dlsym(zipLib_, kGetZipVersionName));
    auto unzVersion = reinterpret_cast<GetUnzVersionFn>(dlsym(unzLib_, kGetUnzVersionName));
    EXPECT_TRUE(zipExec_ && unzExec_ && zipVersion && unzVersion);
    if (zipVersion) EXPECT_EQ(zipVersion(), kLibraryInterfaceVersion);
    if (unzVersion) EXPECT_EQ(unzVersion(), kLibraryInterfaceVersion);
}

LibraryHarness::~LibraryHarness() {
    if (zipLib_) dlclose(zipLib_);
    if (unzLib_) dlclose(unzLib_);
}

std::int32_t LibraryHarness::Callback(CallbackRecord* record) {
    return static_cast<LibraryHarness*>(record->caller)->Handle(record);
}

std::int32_t LibraryHarness::Handle(CallbackRecord* record) {
    CallbackEvent event{record->actionCode, record->code, record->number64, record->text};
    if (record->actionCode != kActionFileStart && record->actionCode != kActionBytesDone &&
        record->actionCode != kActionSizeTotal && record->actionCode != kActionFileTotal)
        event.number = record->number;
    events.push_back(event);
    if (std::getenv("VPK_TEST_TRACE"))
        fprintf(stderr, "cb %d code=%d n=%lld %s\n", event.action, event.code, (long long)event.number,
                event.text.c_str());
    switch (record->actionCode) {
        case kActionPassword:
            if (!passwords.empty()) {
                std::strncpy(record->text, passwords.front().c_str(), kCallbackTextSize - 1);
                passwords.erase(passwords.begin());
                record->code = 1;
                record->number = std::min(passwordRepeatAnswer, kMaxPasswordRepeat);
            } else {
                record->code = 0;
                record->number = 0;
            }
            break;
        case kActionFileExists:
            if (onExists)
                record->number = onExists(record->text, record->code & 1, record->number & 0xFF) ? 1 : 0;
            break;
        case kActionCrcError:
            record->code = onCrcError ? (onCrcError(record->text) ? 1 : 0) : 2;
            break;
        default:
            break;
    }
    ++calls_;
    return cancelAfter && calls_ >= *cancelAfter ? -1 : 0;
}

std::vector<CallbackEvent> LibraryHarness::Events(std::int32_t action) const {
    std::vector<CallbackEvent> out;
    std::copy_if(events.begin(), events.end(), std::back_inserter(out),
                 [&](const CallbackEvent& e) { return e.action == action; });
    return out;
}

bool LibraryHarness::HasMessage(std::int32_t code) const {
    return std::any_of(events.begin(), events.end(),
                       [&](const CallbackEvent& e) { return e.action == kActionMessage && e.code == code; });
}

std::int32_t LibraryHarness::Zip(const ZipRequest& r) {
    events.clear();
    calls_ = 0;
    if (!zipExec_) return -1;
    ZipCommand c;
    std::memset(&c, 0, sizeof c);
    char password[kPasswordBufferSize] = {};
    std::strncpy(password, r.password.c_str(), kPasswordBufferSize - 1);
    std::vector<FileSpecEntry> specs(r.specs.size());
    for (std::size_t i = 0; i < r.specs.size(); ++i) {
        std::memset(&specs[i], 0, sizeof specs[i]);
        specs[i].spec = r.specs[i].c_str();
    }
    std::vector<const char*> exclusions;
    for (const auto& e : r.exclusions) exclusions.push_back(e.c_str());
    const auto flag = [](bool b) { return b ? kFlagYes : kFlagNo; };
    c.caller = this;
    c.version = kLibraryInterfaceVersion;
    c.callback = &LibraryHarness::Callback;
    c.password = password;
    c.storeSuffixes = r.storeSuffixes.empty() ? nullptr : r.storeSuffixes.c_str();
    c.encrypt = flag(r.encrypt);
    c.addHiddenFiles = flag(r.hidden);
    c.noSeparateDirs = flag(!r.folderEntries);
    c.constantMinus56 = -1;
    c.level = r.level;
    c.noDirNames = flag(!r.dirNames);
    c.recurseDirs = r.recurse ? 0xFFFF : 0;
    c.constantMinus80 = r.deleteEntries ? 0 : -1;
    c.move = flag(r.move);
    c.deleteEntries = flag(r.deleteEntries);
    c.update = flag(r.update);
    c.freshen = flag(r.freshen && !r.update);
    c.zipTime = flag(r.zipTime);
    c.specCount = static_cast<std::int32_t>(specs.size());
    c.archiveName = r.archive.c_str();
    c.comment = r.comment ? r.comment->c_str() : nullptr;
    c.specs = specs.data();
    c.exclusionCount = static_cast<std::int32_t>(exclusions.size());
    c.exclusions = exclusions.data();
    c.check = kCommandRecordCheck;
    return zipExec_(&c);
}

std::int32_t LibraryHarness::Unzip(const UnzipRequest& r) {
    events.clear();
    calls_ = 0;
    if (!unzExec_) return -1;
    UnzipCommand c;
    std::memset(&c, 0, sizeof c);
    char password[kPasswordBufferSize] = {};
    std::strncpy(password, r.password.c_str(), kPasswordBufferSize - 1);
    std::vector<UnzFileSpecEntry> specs(r.specs.size());
    for (std::size_t i = 0; i < r.specs.size(); ++i) {
        std::memset(&specs[i], 0, sizeof specs[i]);
        specs[i].spec = r.specs[i].c_str();
    }
    const auto flag = [](bool b) { return b ? kFlagYes : kFlagNo; };
    c.caller = this;
    c.version = kLibraryInterfaceVersion;
    c.callback = &LibraryHarness::Callback;
    c.password = password;
    c.test = flag(r.test);
    c.constantMinus40 = -1;
    c.update = flag(r.update);
    c.freshen = flag(r.freshen && !r.update);
    c.dirNames = flag(r.dirNames);
    c.overwrite = flag(r.overwrite);
    c.specCount = static_cast<std::int32_t>(specs.size());
    c.archiveName = r.archive.c_str();
    c.specs = specs.data();
    c.passwordReqCount = r.passwordReqCount;
    c.check = kCommandRecordCheck;
    return unzExec_(&c);
}

}  // namespace vpk::test

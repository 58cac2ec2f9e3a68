// A stand-in for libvpkzip.so / libvpkunz.so that lets the engine's tests see what the engine sends and
// how it answers. Each specification of the command is one step of a script:
//   "return:N"                       the call returns N (default 0)
//   "action:A:CODE:NUMBER:TEXT"      one callback with those fields, then a message "answer …" telling
//                                    what the engine wrote back
//   "progress"                       FileStart, BytesDone, BatchEnd for one file
//   "cancel"                         BytesDone until the engine asks to stop, then "stopped after N"
// Every call first reports its command record as a message "record …".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/library_interface.h"

namespace {

std::int32_t Callback(const vpk::LibraryCallback callback, void* caller, std::int32_t action,
                      std::int32_t code, std::int64_t number, const std::string& text,
                      vpk::CallbackRecord* out = nullptr) {
    vpk::CallbackRecord record{};
    record.caller = caller;
    record.actionCode = action;
    record.code = code;
    record.number = static_cast<std::int32_t>(number);
    record.number64 = number;
    std::snprintf(record.text, sizeof record.text, "%s", text.c_str());
    const std::int32_t result = callback(&record);
    if (out) *out = record;
    return result;
}

void Say(vpk::LibraryCallback callback, void* caller, const std::string& text) {
    Callback(callback, caller, vpk::kActionMessage, 0, 0, text);
}

[[maybe_unused]] std::string Text(const char* s) {
    return s ? std::string("'") + s + "'" : "null";
}

[[maybe_unused]] std::int32_t RunScript(vpk::LibraryCallback callback, void* caller, const char* const* specs, int count) {
    std::int32_t result = 0;
    for (int i = 0; i < count; ++i) {
        const std::string step = specs[i] ? specs[i] : "";
        if (step.rfind("return:", 0) == 0) {
            result = std::atoi(step.c_str() + 7);
        } else if (step.rfind("action:", 0) == 0) {
            int action = 0, code = 0;
            long long number = 0;
            int consumed = 0;
            std::sscanf(step.c_str(), "action:%d:%d:%lld:%n", &action, &code, &number, &consumed);
            vpk::CallbackRecord answer{};
            const std::int32_t r =
                Callback(callback, caller, action, code, number, step.substr(consumed), &answer);
            char line[700];
            std::snprintf(line, sizeof line, "answer result=%d action=%d code=%d number=%d text=%s", r,
                          answer.actionCode, answer.code, answer.number, answer.text);
            Say(callback, caller, line);
        } else if (step == "progress") {
            Callback(callback, caller, vpk::kActionFileTotal, 0, 1, "");
            Callback(callback, caller, vpk::kActionSizeTotal, 0, 5000000000LL, "");
            Callback(callback, caller, vpk::kActionFileStart, 0, 5000000000LL, "dir/big.bin");
            Callback(callback, caller, vpk::kActionBytesDone, 0, 5000000000LL, "");
            Callback(callback, caller, vpk::kActionBatchEnd, 0, 0, "");
        } else if (step == "cancel") {
            int n = 1;
            while (n < 100 && Callback(callback, caller, vpk::kActionBytesDone, 0, 1, "") == 0) ++n;
            Say(callback, caller, "stopped after " + std::to_string(n));
        }
    }
    return result;
}

}  // namespace

#ifdef FAKE_ZIP
extern "C" __attribute__((visibility("default"))) std::int32_t GetZipVersion() {
    return 160;
}

#ifndef FAKE_NO_EXEC
extern "C" __attribute__((visibility("default"))) std::int32_t ZipExec(vpk::ZipCommand* c) {
    char line[2048];
    std::snprintf(line, sizeof line,
                  "record handle=%d specs=%d excl=%d suffixes=%s level=%d encrypt=%d hidden=%d noseparate=%d "
                  "nodirnames=%d recurse=%d m56=%d m80=%d move=%d delete=%d update=%d freshen=%d ziptime=%d "
                  "password=%s comment=%s temp=%s archiveonly=%d reset=%d check=%d",
                  c->handle ? 1 : 0, c->specCount, c->exclusionCount, Text(c->storeSuffixes).c_str(),
                  c->level, c->encrypt, c->addHiddenFiles, c->noSeparateDirs, c->noDirNames, c->recurseDirs,
                  c->constantMinus56, c->constantMinus80, c->move, c->deleteEntries, c->update, c->freshen,
                  c->zipTime, Text(c->password).c_str(), Text(c->comment).c_str(), Text(c->tempDir).c_str(),
                  c->archiveOnly, c->resetArchive, c->check);
    Say(c->callback, c->caller, line);
    std::vector<const char*> specs;
    for (int i = 0; i < c->specCount; ++i) specs.push_back(c->specs[i].spec);
    return RunScript(c->callback, c->caller, specs.data(), c->specCount);
}
#endif
#endif

#ifdef FAKE_UNZ
extern "C" __attribute__((visibility("default"))) std::int32_t GetUnzVersion() {
    return 160;
}

extern "C" __attribute__((visibility("default"))) std::int32_t UnzExec(vpk::UnzipCommand* c) {
    char line[2048];
    std::snprintf(line, sizeof line,
                  "record handle=%d specs=%d test=%d dirnames=%d overwrite=%d update=%d freshen=%d m40=%d "
                  "reqcount=%d password=%s check=%d",
                  c->handle ? 1 : 0, c->specCount, c->test, c->dirNames, c->overwrite, c->update, c->freshen,
                  c->constantMinus40, c->passwordReqCount, Text(c->password).c_str(), c->check);
    Say(c->callback, c->caller, line);
    std::vector<const char*> specs;
    for (int i = 0; i < c->specCount; ++i) specs.push_back(c->specs[i].spec);
    return RunScript(c->callback, c->caller, specs.data(), c->specCount);
}
#endif

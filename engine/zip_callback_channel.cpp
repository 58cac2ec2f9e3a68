#include "engine/zip_callback_channel.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/zip_names.h"

namespace vpk::zip {

CallbackRecord CallbackChannel::Record(std::int32_t action, std::int32_t code, std::uint64_t number,
                                       std::string_view text) const {
    CallbackRecord record;
    std::memset(&record, 0, sizeof record);
    record.caller = caller_;
    record.actionCode = action;
    record.code = code;
    const std::uint64_t clampLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    record.number = static_cast<std::int32_t>(std::min(number, clampLimit));
    record.number64 =
        static_cast<std::int64_t>(std::min<std::uint64_t>(number, std::numeric_limits<std::int64_t>::max()));
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(kCallbackTextSize - 1));
    std::memcpy(record.text, text.data(), length);
    return record;
}

bool CallbackChannel::Send(CallbackRecord& record) {
    if (callback_ == nullptr) return !cancelled_;
    if (callback_(&record) != 0) cancelled_ = true;
    record.text[kCallbackTextSize - 1] = '\0';
    return !cancelled_;
}

bool CallbackChannel::FileStart(std::string_view name, std::uint64_t size) {
    auto record = Record(kActionFileStart, 0, size, BackslashName(name));
    return Send(record);
}

bool CallbackChannel::BytesDone(std::uint64_t bytes) {
    auto record = Record(kActionBytesDone, 0, bytes, {});
    return Send(record);
}

bool CallbackChannel::BatchEnd() {
    auto record = Record(kActionBatchEnd, 0, 0, {});
    return Send(record);
}

bool CallbackChannel::FileTotal(std::uint64_t files) {
    auto record = Record(kActionFileTotal, 0, files, {});
    return Send(record);
}

bool CallbackChannel::SizeTotal(std::uint64_t bytes) {
    auto record = Record(kActionSizeTotal, 0, bytes, {});
    return Send(record);
}

bool CallbackChannel::Message(std::int32_t code, std::string_view text) {
    auto record = Record(kActionMessage, code, 0, text);
    return Send(record);
}

std::optional<std::string> CallbackChannel::NewName(std::string_view name) {
    if (callback_ == nullptr) return std::nullopt;
    auto record = Record(kActionSetNewName, 0, 0, name);
    Send(record);
    if (record.actionCode != kActionPassword) return std::nullopt;
    std::string changed(record.text);
    if (changed.empty() || changed == name) return std::nullopt;
    return changed;
}

CallbackChannel::PasswordAnswer CallbackChannel::RequestPassword(bool forAdding, std::string_view name,
                                                                 std::int32_t repeatCount) {
    PasswordAnswer answer;
    if (callback_ == nullptr) return answer;
    auto record = Record(kActionPassword, forAdding ? 1 : 0,
                         static_cast<std::uint64_t>(std::max(repeatCount, 0)), BackslashName(name));
    Send(record);
    answer.repeatCount = std::clamp(record.number, 0, kMaxPasswordRepeat);
    if (record.code == 1) {
        std::string password(record.text, strnlen(record.text, kPasswordBufferSize - 1));
        if (!password.empty()) answer.password = std::move(password);
    }
    return answer;
}

bool CallbackChannel::CrcError(std::string_view name, std::uint32_t found, std::uint32_t expected) {
    auto record = Record(kActionCrcError, static_cast<std::int32_t>(found), 0, BackslashName(name));
    record.number = static_cast<std::int32_t>(expected);
    record.number64 = expected;
    if (callback_ == nullptr) return true;
    Send(record);
    return record.code != 0;
}

bool CallbackChannel::FileExists(std::string_view name, bool existingIsOlder, bool overwriteByDefault) {
    auto record =
        Record(kActionFileExists, existingIsOlder ? 1 : 0, overwriteByDefault ? 1 : 0, BackslashName(name));
    if (callback_ == nullptr) return overwriteByDefault;
    Send(record);
    return (record.number & 0xFF) != 0;
}

void CallbackChannel::Skipped(std::string_view name, UnzSkipType type, std::int32_t errorCode) {
    auto record =
        Record(kActionFileSkipped, errorCode, static_cast<std::uint64_t>(type), BackslashName(name));
    Send(record);
}

}  // namespace vpk::zip

// TZipEngine: the libraries' callback, turned into the engine's events.
#include <algorithm>
#include <cstring>

#include "engine/zip_engine.h"
#include "engine/zip_messages.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"

namespace vpk {

namespace {

constexpr std::size_t kMaxPasswordInRecord = kPasswordBufferSize - 1;

std::string RawText(const CallbackRecord& record) {
    return std::string(record.text, strnlen(record.text, kCallbackTextSize));
}

std::string CleanText(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

void PutText(CallbackRecord& record, const std::string& text, std::size_t limit) {
    const std::size_t n = std::min({text.size(), limit, static_cast<std::size_t>(kCallbackTextSize - 1)});
    if (n > 0) std::memcpy(record.text, text.data(), n);
    record.text[n] = '\0';
}

bool IsSizeAction(std::int32_t action) {
    return action == kActionFileStart || action == kActionBytesDone || action == kActionFileTotal ||
           action == kActionSizeTotal;
}

}  // namespace

std::int32_t TZipEngine::LibraryCallbackEntry(CallbackRecord* record) {
    auto* engine = static_cast<TZipEngine*>(record->caller);
    try {
        engine->HandleCallback(*record);
    } catch (...) {
        // An event handler failed: no exception may cross the library; the operation stops and the
        // failure is reported once the library returns.
        engine->callbackFailed_ = true;
        engine->cancel_ = true;
    }
    const bool stop = engine->cancel_;
    ProcessPendingEvents();
    return stop ? -1 : 0;
}

void TZipEngine::HandleCallback(CallbackRecord& record) {
    const std::string text = CleanText(RawText(record));
    const std::int64_t number = IsSizeAction(record.actionCode) ? record.number64 : record.number;
    switch (record.actionCode) {
        case kActionFileStart:
            if (OnProgress) OnProgress(*this, ProgressType::FileStart, text, number);
            break;
        case kActionBytesDone:
            if (OnProgress) OnProgress(*this, ProgressType::BytesDone, {}, number);
            break;
        case kActionBatchEnd:
            if (OnProgress) OnProgress(*this, ProgressType::BatchEnd, {}, 0);
            break;
        case kActionMessage:
            lastMessage_ = text;
            if (record.code != 0) errorCode_ = record.code & 255;
            if (OnMessage) OnMessage(*this, record.code, text);
            break;
        case kActionFileTotal:
            if (OnProgress) OnProgress(*this, ProgressType::FileTotal, {}, number);
            break;
        case kActionSizeTotal:
            sizeTotal_ = number;
            if (OnProgress) OnProgress(*this, ProgressType::SizeTotal, {}, number);
            break;
        case kActionSetNewName: {
            if (!OnSetNewName) break;
            std::string name = RawText(record);
            bool changed = false;
            OnSetNewName(*this, name, changed);
            if (changed) {
                PutText(record, name, kCallbackTextSize - 1);
                record.actionCode = kActionPassword;
            }
            break;
        }
        case kActionPassword:
            AnswerPasswordRequest(record);
            break;
        case kActionCrcError: {
            if (!OnCRC32Error) {
                record.code = 2;
                break;
            }
            bool extract = true;
            OnCRC32Error(*this, text, static_cast<std::uint32_t>(record.code),
                         static_cast<std::uint32_t>(record.number), extract);
            record.code = extract ? 1 : 0;
            break;
        }
        case kActionFileExists: {
            bool overwrite = (record.number & 0xFF) != 0;
            if (OnExtractOverwrite) OnExtractOverwrite(*this, text, (record.code & 1) != 0, overwrite);
            record.number = overwrite ? 1 : 0;
            break;
        }
        case kActionFileSkipped:
            if (OnExtractSkipped)
                OnExtractSkipped(*this, text, static_cast<UnZipSkipTypes>(record.number & 0xFF), record.code);
            break;
        default:
            break;
    }
}

void TZipEngine::AnswerPasswordRequest(CallbackRecord& record) {
    const bool adding = (record.code & 1) != 0;
    const std::string file = CleanText(RawText(record));
    std::uint32_t repeat = record.number > 0 ? static_cast<std::uint32_t>(record.number) : 0;
    std::string answer;
    if (OnPasswordError) {
        OnPasswordError(*this, answer, file, repeat);
    } else if (unattended_) {
        ShowZipMessage(adding ? zipmsg::kNoPasswordAdding : zipmsg::kNoPasswordExtracting);
    } else if (!Dialogs::Current().AskText("Password", "Password for " + file, true, answer)) {
        answer.clear();
    }
    if (answer.empty()) {
        record.code = 0;
        record.number = 0;
        return;
    }
    PutText(record, answer, kMaxPasswordInRecord);
    record.code = 1;
    record.number = static_cast<std::int32_t>(std::min<std::uint32_t>(repeat, kMaxPasswordRepeat));
}

}  // namespace vpk

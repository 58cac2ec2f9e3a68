#pragma once
// The engine's own exception: a numbered message of the message table, raised inside an operation and
// caught by it (callers of TZipEngine only see results, fields and messages).
#include <stdexcept>
#include <string>
#include <string_view>

namespace vpk {

class EZipEngine : public std::runtime_error {
  public:
    // Plain: the table text as it stands; the raiser decides whether a box may show it.
    EZipEngine(int messageId, bool showToUser);
    // With one number or one text put in place of the text's conversion (%d, %.1d, %s); always shown.
    EZipEngine(int messageId, long long value);
    EZipEngine(int messageId, std::string_view value);

    bool ShowToUser() const { return showToUser_; }
    int MessageId() const { return messageId_; }

  private:
    bool showToUser_;
    int messageId_;
};

// Puts `value` in place of the first printf conversion (%d, %.1d, %s …) of `format`; "%%" stays a
// percent sign. A format without a conversion comes back unchanged. Never interprets `value`.
std::string FormatMessageText(std::string_view format, std::string_view value);

}  // namespace vpk

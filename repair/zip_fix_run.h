#pragma once
// One repair as the repair window (and the vpk tool) runs it: checks, the repair itself into a new
// file, a log line per entry found and the closing counts. Texts come by key from the caller's
// language lookup; what the window shows goes out through the two events.
//
// The destination is written under a temporary name in its own folder and renamed over any file of
// that name only once the repair is complete, so a failed repair leaves an existing destination as it
// was and never leaves a half-written archive behind.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vpk {

class ZipFixRun {
  public:
    enum class Outcome {
        Repaired,        // the destination holds the repaired archive (empty when nothing was found)
        SourceMissing,   // nothing happened
        NotEnoughSpace,  // text "000745" was shown, nothing written
        Failed           // the error was shown, the destination is as it was
    };

    using MessageText = std::function<std::string(std::string_view key)>;
    using TextEvent = std::function<void(const std::string& text)>;

    // messageText: the language text of a key. addLine: a line for the log (the window's memo).
    // showMessage: a message box (not enough space, a source that cannot be read, a destination that
    // cannot be written).
    ZipFixRun(MessageText messageText, TextEvent addLine, TextEvent showMessage);

    // source and destination are paths of the file system; the counters start from 0 on every call.
    Outcome ZipFix(const std::string& source, const std::string& destination);

    // The OnFileFound handler: counts the entry and logs "name<TAB>accepted/rejected text".
    void LogFoundFile(const std::string& filename, bool fileInfoIsOk);

    int Found() const { return found_; }
    int Accepted() const { return accepted_; }

  private:
    void Repair(const std::string& source, const std::string& destination);

    MessageText messageText_;
    TextEvent addLine_;
    TextEvent showMessage_;
    int found_ = 0;
    int accepted_ = 0;
};

}  // namespace vpk

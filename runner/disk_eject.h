#pragma once
// TDiskEject: ejects the medium of a removable drive. Its failures are EDiskEject exceptions.
#include <functional>
#include <stdexcept>
#include <string>

namespace vpk {

class EDiskEject : public std::runtime_error {
  public:
    explicit EDiskEject(const std::string& message) : std::runtime_error(message) {}
};

class TDiskEject {
  public:
    // eject: the system's eject of a drive letter (true on success); empty: the file system's.
    explicit TDiskEject(std::function<bool(char)> eject = {});
    char Drive() const { return drive_; }
    void SetDrive(char letter) { drive_ = letter; }
    // True when the drive holds no readable disk.
    bool Ejected() const;
    // true ejects: raises "No disk in drive!" when the drive is empty, "Could not eject disk!" when the
    // eject fails.
    void SetEjected(bool eject);

  private:
    std::function<bool(char)> eject_;
    char drive_ = 'A';
};

}  // namespace vpk

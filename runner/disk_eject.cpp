#include "runner/disk_eject.h"

#include "platform/file_system.h"

namespace vpk {

TDiskEject::TDiskEject(std::function<bool(char)> eject) : eject_(std::move(eject)) {
    if (!eject_) eject_ = [](char letter) { return Fs().Eject(letter); };
}

bool TDiskEject::Ejected() const {
    return !Fs().DiskPresent(drive_);
}

void TDiskEject::SetEjected(bool eject) {
    if (!eject) return;
    if (Ejected()) throw EDiskEject("No disk in drive!");
    if (!eject_(drive_)) throw EDiskEject("Could not eject disk!");
}

}  // namespace vpk

#include "engine/span_disks.h"

#include <cctype>
#include <cstdio>

#include "engine/ezip_engine.h"
#include "engine/zip_messages.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"

namespace vpk {

namespace {

std::string ThreeDigits(std::uint32_t n) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03u", n);
    return digits;
}

}  // namespace

std::string SpanPieceName(const std::string& archiveName, std::uint32_t disk) {
    const std::size_t separator = archiveName.find_last_of("\\/");
    const std::size_t dot = archiveName.rfind('.');
    const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    const std::size_t stemEnd = hasExtension ? dot : archiveName.size();
    const std::size_t stemStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t cut = stemEnd - std::min<std::size_t>(3, stemEnd - stemStart);
    return archiveName.substr(0, cut) + ThreeDigits(disk + 1) + archiveName.substr(stemEnd);
}

SpanDisks::SpanDisks(std::string archiveName, bool unattended)
    : archiveName_(std::move(archiveName)), unattended_(unattended) {
    const std::string full = Fs().FullPath(archiveName_);
    if (full.size() >= 2 && full[1] == ':' && std::isalpha(static_cast<unsigned char>(full[0]))) {
        driveLetter_ = static_cast<char>(std::toupper(static_cast<unsigned char>(full[0])));
        removable_ = Fs().TypeOfDrive(driveLetter_) == DriveType::Removable;
    }
}

bool SpanDisks::RightDiskPresent(std::uint32_t disk) const {
    auto label = Fs().VolumeLabel(driveLetter_);
    return label && *label == "PKBACK# " + ThreeDigits(disk + 1);
}

void SpanDisks::AskForDisk(std::uint32_t disk, std::uint32_t lastDisk) {
    if (unattended_) throw EZipEngine(zipmsg::kUnattendedSpanning, true);
    DialogRequest request;
    request.caption = "vortipak";
    request.icon = "!";
    request.lines = {
        "Please insert disk volume " + std::to_string(disk + 1) + " of " + std::to_string(lastDisk + 1),
        std::string("in drive: ") + driveLetter_ + ":\\"};
    request.buttons = {"OK", "Cancel"};
    if (Dialogs::Current().Ask(request) != 1) throw EZipEngine(zipmsg::kUserCanceled, false);
}

void SpanDisks::AskForLastDisk() {
    if (unattended_) throw EZipEngine(zipmsg::kUnattendedSpanning, true);
    DialogRequest request;
    request.caption = "vortipak";
    request.icon = "#";
    request.lines = {"Please insert last disk", std::string("in drive: ") + driveLetter_ + ":\\"};
    request.buttons = {"OK", "Cancel"};
    if (Dialogs::Current().Ask(request) != 1) throw EZipEngine(zipmsg::kUserCanceled, false);
}

ArchiveSource* SpanDisks::OpenLast(const std::function<bool(ArchiveSource&)>& holdsEnd) {
    open_.reset();
    ProcessPendingEvents();
    auto tryOpen = [&]() -> ArchiveSource* {
        try {
            open_ = std::make_unique<FileArchiveSource>(archiveName_);
        } catch (const PlatformError&) {
            return nullptr;
        }
        if (holdsEnd(*open_)) return open_.get();
        open_.reset();
        return nullptr;
    };
    if (!removable_) return tryOpen();
    for (;;) {
        if (Fs().DiskPresent(driveLetter_))
            if (ArchiveSource* piece = tryOpen()) return piece;
        AskForLastDisk();
    }
}

ArchiveSource* SpanDisks::Open(std::uint32_t disk, std::uint32_t lastDisk) {
    open_.reset();
    ProcessPendingEvents();
    if (!removable_) {
        try {
            open_ = std::make_unique<FileArchiveSource>(SpanPieceName(archiveName_, disk));
        } catch (const PlatformError&) {
            throw EZipEngine(zipmsg::kInputMissing, true);
        }
        return open_.get();
    }
    for (;;) {
        while (!RightDiskPresent(disk)) AskForDisk(disk, lastDisk);
        try {
            open_ = std::make_unique<FileArchiveSource>(archiveName_);
            return open_.get();
        } catch (const PlatformError&) {
            // The disk is right but the piece cannot be read: say so and ask again.
            AskForDisk(disk, lastDisk);
        }
    }
}

}  // namespace vpk

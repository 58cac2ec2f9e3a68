#include "engine/zip_dir_reader.h"

#include <algorithm>
#include <cstring>

#include "engine/ezip_engine.h"
#include "engine/zip_format.h"
#include "engine/zip_messages.h"

namespace vpk {

namespace {

// Central headers of a lying entry count are not reserved for up front.
constexpr std::uint64_t kMaxReserve = 1 << 16;

std::string WithBackslashes(std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

ZipDirEntry EntryOf(const zip::CentralHeader& h) {
    ZipDirEntry e;
    e.madeByVersion = static_cast<std::uint8_t>(h.versionMadeBy);
    e.hostSystem = h.HostSystem();
    e.versionNeeded = h.versionNeeded;
    e.flags = h.flags;
    e.compressionMethod = h.method;
    e.dateTime = h.dosDateTime;
    e.crc32 = h.crc32;
    e.compressedSize = h.compressedSize;
    e.uncompressedSize = h.uncompressedSize;
    e.nameLength = h.nameLength;
    e.extraLength = h.extraLength;
    e.commentLength = h.commentLength;
    e.diskNumberStart = h.diskNumberStart;
    e.internalAttributes = h.internalAttributes;
    e.externalAttributes = h.externalAttributes;
    e.localHeaderOffset = h.localHeaderOffset;
    e.encrypted = (h.flags & zip::kFlagEncrypted) != 0;
    return e;
}

class DirectoryWalk {
  public:
    DirectoryWalk(ArchiveSource& source, CodePageOpts codePage, const ZipDirReaderHooks& hooks,
                  ZipDirectory& out)
        : source_(&source), reader_(source, 0), codePage_(codePage), hooks_(hooks), out_(out) {}

    void Run(const EndRecordLocation& where) {
        ArchiveLayout& layout = out_.layout;
        layout.endRecordDisk = where.diskNumber;
        layout.currentDisk = where.diskNumber;
        std::uint64_t start = 0;
        if (where.directoryDisk != where.diskNumber) {
            // The directory begins on an earlier piece; its offsets there are true ones.
            OpenDisk(where.directoryDisk);
            layout.fileEnd = source_->Size();
            start = where.directoryOffset;
            layout.computedDirectoryStart = start;
        } else {
            const std::uint64_t directoryEnd = where.zip64 ? where.zip64RecordPosition : where.position;
            if (where.directorySize > directoryEnd) throw EZipEngine(zipmsg::kDirectoryOutsideArchive, true);
            start = directoryEnd - where.directorySize;
            layout.computedDirectoryStart = start;
        }
        // The smallest local header offset is the first byte of ZIP data. Starting from the directory
        // offset (not the file end) gives 0 for an archive without entries, comment or not.
        std::uint64_t prefix = layout.IsMultiDisk() ? layout.fileEnd : where.directoryOffset;
        if (start != where.directoryOffset && where.directoryDisk == where.diskNumber) {
            layout.directoryStartsDiffer = true;
            Warn(zipmsg::kStructureWarning);
        }
        reader_.Switch(*source_, start);
        if (where.directorySize > 0 && start >= source_->Size())
            throw EZipEngine(zipmsg::kListSeekError, true);

        out_.entries.reserve(static_cast<std::size_t>(std::min(where.entriesTotal, kMaxReserve)));
        for (std::uint64_t seq = 1; seq <= where.entriesTotal; ++seq) {
            ZipDirEntry entry = ReadOne();
            prefix = std::min(prefix, entry.localHeaderOffset);
            out_.entries.push_back(std::move(entry));
            if (hooks_.entry) hooks_.entry(static_cast<int>(seq), out_.entries.back());
        }
        const auto adjusted =
            static_cast<std::int64_t>(prefix) + (static_cast<std::int64_t>(layout.computedDirectoryStart) -
                                                 static_cast<std::int64_t>(where.directoryOffset));
        out_.prefixSize = adjusted > 0 ? static_cast<std::uint64_t>(adjusted) : 0;
    }

  private:
    void Warn(int id) {
        if (hooks_.warn) hooks_.warn(id);
    }

    void OpenDisk(std::uint32_t disk) {
        ArchiveSource* next = hooks_.openDisk ? hooks_.openDisk(disk) : nullptr;
        if (!next) throw EZipEngine(zipmsg::kInputMissing, true);
        source_ = next;
        out_.layout.currentDisk = disk;
        reader_.Switch(*source_, 0);
    }

    ZipDirEntry ReadOne() {
        std::uint8_t fixed[zip::kCentralHeaderSize];
        std::size_t got = reader_.Read(fixed, sizeof fixed);
        if (got != sizeof fixed && out_.layout.currentDisk < out_.layout.endRecordDisk) {
            // The directory goes on on the next piece of the set.
            OpenDisk(out_.layout.currentDisk + 1);
            got += reader_.Read(fixed + got, sizeof fixed - got);
        }
        if (got != sizeof fixed) throw EZipEngine(zipmsg::kCentralHeaderReadError, true);
        zip::CentralHeader header;
        if (!header.Parse(fixed)) throw EZipEngine(zipmsg::kCentralSignatureWrong, true);

        std::string rawName;
        if (!reader_.ReadString(rawName, header.nameLength))
            throw EZipEngine(zipmsg::kCentralNameReadError, true);
        out_.layout.lastHostSystem = header.HostSystem();
        out_.layout.lastMadeByVersion = static_cast<std::uint8_t>(header.versionMadeBy);
        const CodePageContext context{codePage_, out_.layout.lastHostSystem, out_.layout.lastMadeByVersion};
        const bool utf8 = (header.flags & zip::kFlagUtf8) != 0;

        ZipDirEntry entry = EntryOf(header);
        entry.name = WithBackslashes(ArchiveText(rawName, utf8, context));

        std::string extra;
        if (!reader_.ReadString(extra, header.extraLength)) throw EZipEngine(zipmsg::kListSeekError, true);
        zip::Zip64Values wide;
        if (zip::ResolveZip64(reinterpret_cast<const std::uint8_t*>(extra.data()), extra.size(),
                              header.uncompressedSize, header.compressedSize, header.localHeaderOffset,
                              header.diskNumberStart, &wide)) {
            entry.uncompressedSize = wide.uncompressedSize;
            entry.compressedSize = wide.compressedSize;
            entry.localHeaderOffset = wide.localHeaderOffset;
            entry.diskNumberStart = wide.diskNumberStart;
        }
        if (header.commentLength > 0) {
            std::string rawComment;
            if (!reader_.ReadString(rawComment, header.commentLength))
                throw EZipEngine(zipmsg::kFileCommentReadError, true);
            entry.comment = ArchiveText(rawComment, utf8, context);
        }
        return entry;
    }

    ArchiveSource* source_;
    SequentialReader reader_;
    CodePageOpts codePage_;
    const ZipDirReaderHooks& hooks_;
    ZipDirectory& out_;
};

}  // namespace

void ReadZipDirectory(ArchiveSource& source, const std::string& volumeLabel, CodePageOpts codePage,
                      const ZipDirReaderHooks& hooks, ZipDirectory& out) {
    out = ZipDirectory{};
    out.layout.volumeLabel = volumeLabel;
    try {
        EndRecordLocation where = FindEndRecord(source, EndRecordMode::MustFind, volumeLabel, hooks.warn);
        ArchiveLayout& layout = out.layout;
        layout.endRecordPosition = where.position;
        layout.zip64RecordPosition = where.zip64 ? where.zip64RecordPosition : 0;
        layout.fileEnd = where.fileEnd;
        layout.trueLength = where.trueLength;
        layout.recordedDirectoryOffset = where.directoryOffset;
        layout.zip64 = where.zip64;
        layout.firstPiece = where.firstPiece;
        out.comment = where.comment;
        DirectoryWalk(source, codePage, hooks, out).Run(where);
    } catch (...) {
        out.prefixSize = 0;
        throw;
    }
}

}  // namespace vpk

#include "engine/ziplib/zip_job.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <future>
#include <unordered_map>

#include "engine/zip_archive_reader.h"
#include "engine/zip_names.h"
#include "engine/zip_worker_pool.h"
#include "engine/ziplib/archive_builder.h"
#include "engine/ziplib/entry_encoder.h"
#include "engine/ziplib/source_collector.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "platform/text_codec.h"

namespace vpk::zip {
namespace {

// Read-ahead of the compression pipeline: bounded so memory stays small whatever the tree.
constexpr std::uint64_t kMaxBytesInFlight = 48u << 20;
constexpr std::size_t kMaxPending = 4096;
// A batch closes at this many bytes or files.
constexpr std::uint64_t kBatchBytes = 256u << 10;
constexpr std::size_t kBatchFiles = 32;

bool Flag(std::int32_t value) {
    return value != 0;
}

std::vector<std::string> SplitSuffixes(const char* list) {
    std::vector<std::string> out;
    if (list == nullptr) return out;
    std::string current;
    for (const char* p = list;; ++p) {
        if (*p == ':' || *p == ';' || *p == '\0') {
            if (!current.empty()) out.push_back(UpperCase(current[0] == '.' ? current : "." + current));
            current.clear();
            if (*p == '\0') break;
        } else {
            current += *p;
        }
    }
    return out;
}

bool HasStoreSuffix(const std::string& name, const std::vector<std::string>& suffixes) {
    const std::string upper = UpperCase(name);
    return std::any_of(suffixes.begin(), suffixes.end(),
                       [&](const std::string& s) { return upper.ends_with(s); });
}

std::string FolderOf(const std::string& path) {
    const auto cut = path.rfind('\\');
    if (cut == std::string::npos) return Fs().CurrentFolder();
    if (cut == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, cut);
}

// The new archive gets the old one's permissions (a self-extracting archive stays executable).
void KeepPermissions(const std::string& oldArchive, const std::string& newArchive) {
    const auto from = Fs().ToHost(oldArchive);
    const auto to = Fs().ToHost(newArchive);
    if (!from || !to) return;
    std::error_code ignored;
    const auto status = std::filesystem::status(*from, ignored);
    if (!ignored) std::filesystem::permissions(*to, status.permissions(), ignored);
}

// After the rename the folder entry itself must reach the medium too.
void SyncFolder(const std::string& folder) {
    const auto host = Fs().ToHost(folder);
    if (!host) return;
    const int fd = ::open(host->c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// One step of the new archive, in order.
struct PlanItem {
    int oldIndex = -1;     // raw copy of this old entry (or the fallback of a failed replacement)
    int sourceIndex = -1;  // a file to store
};

// Small files are encoded in batches: one hand-over to a worker and one wait per batch, not per file.
struct EncodeBatch {
    struct Slot {
        const SourceFile* file = nullptr;
        EncodeSettings settings;
        EncodedEntry encoded;
        ByteBuffer data;
    };
    std::vector<Slot> slots;
    std::uint64_t bytes = 0;
};

struct Pending {
    PlanItem item;
    bool streamed = false;
    std::shared_ptr<EncodeBatch> batch;  // buffered files: their batch and place in it
    std::size_t slot = 0;
    std::shared_future<void> done;
    std::uint64_t bytes = 0;
};

}  // namespace

ZipJobOptions ZipJobOptions::FromCommand(const ZipCommand& c) {
    ZipJobOptions o;
    if (c.archiveName) o.archive = c.archiveName;
    for (std::int32_t i = 0; c.specs && i < c.specCount; ++i)
        if (c.specs[i].spec && *c.specs[i].spec) o.specs.emplace_back(c.specs[i].spec);
    for (std::int32_t i = 0; c.exclusions && i < c.exclusionCount; ++i)
        if (c.exclusions[i] && *c.exclusions[i]) o.exclusions.emplace_back(c.exclusions[i]);
    o.storeSuffixes = SplitSuffixes(c.storeSuffixes);
    if (c.comment) o.comment = std::string(c.comment);
    if (c.password) o.password.assign(c.password, strnlen(c.password, kPasswordBufferSize - 1));
    o.level = std::clamp(c.level, 0, 9);
    o.encrypt = Flag(c.encrypt);
    o.hidden = Flag(c.addHiddenFiles);
    o.folderEntries = !Flag(c.noSeparateDirs);
    o.dirNames = !Flag(c.noDirNames);
    o.recurse = c.recurseDirs != 0;
    o.forceDos = Flag(c.forceDos);
    o.move = Flag(c.move);
    o.deleteEntries = Flag(c.deleteEntries);
    o.update = Flag(c.update);
    o.freshen = Flag(c.freshen) && !o.update;
    o.zipTime = Flag(c.zipTime);
    o.archiveOnly = c.archiveOnly != 0;
    o.resetArchive = c.resetArchive != 0;
    o.verbose = Flag(c.verbose) || Flag(c.trace);
    return o;
}

std::int32_t ZipJob::Run() {
    std::int32_t result = 0;
    try {
        result = RunGuarded();
    } catch (const std::bad_alloc&) {
        Report(kLibErrMemory, "Out of memory while writing " + options_.archive);
        result = 0;
    } catch (const std::exception& e) {
        Report(kLibErrWrite, std::string("Error writing the archive, it was left unchanged: ") + e.what());
        result = 0;
    }
    if (result == 0 && !tempPath_.empty()) Fs().DeleteFile(tempPath_);
    channel_.BatchEnd();
    return result;
}

std::int32_t ZipJob::RunGuarded() {
    if (options_.archive.empty()) {
        Report(kLibErrParameter, "No archive name given");
        return 0;
    }
    const std::string archive = Fs().FullPath(options_.archive);
    std::optional<ZipArchiveReader> old;
    if (Fs().FileExists(archive)) {
        try {
            old.emplace(archive);
        } catch (const std::exception& e) {
            // A damaged archive is never overwritten: repair it first.
            Report(kLibErrArchive,
                   std::string("The archive cannot be read and was left unchanged: ") + e.what());
            return 0;
        }
    } else if (options_.deleteEntries) {
        Report(kLibErrParameter, "Archive not found: " + archive);
        return 0;
    }

    std::vector<PlanItem> plan;
    std::vector<SourceFile> sources;
    std::int32_t changed = 0;
    std::vector<int> storedSources;

    if (options_.deleteEntries) {
        const auto& entries = old->Entries();
        for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
            const bool hit =
                std::any_of(options_.specs.begin(), options_.specs.end(), [&](const std::string& spec) {
                    return EntryNameMatches(spec, entries[static_cast<std::size_t>(i)].name);
                });
            if (hit) {
                ++changed;
                if (options_.verbose)
                    Report(kLibOk, "deleting: " + BackslashName(entries[static_cast<std::size_t>(i)].name));
            } else {
                plan.push_back({i, -1});
            }
        }
        if (changed == 0) {
            Report(kLibErrNothingToDo, "No entry matched the names to delete");
            return 0;
        }
    } else {
        CollectOptions collect;
        collect.recurse = options_.recurse;
        collect.hidden = options_.hidden;
        collect.dirNames = options_.dirNames;
        collect.folderEntries = options_.folderEntries;
        collect.forceDos = options_.forceDos;
        collect.archiveOnly = options_.archiveOnly;
        collect.exclusions = options_.exclusions;
        collect.skipPath = archive;
        SourceCollector collector(collect);
        for (const auto& spec : options_.specs)
            if (!collector.AddSpec(spec)) Report(kLibErrWarning, "No file matches " + spec);
        sources = collector.Files();

        std::unordered_map<std::string, int> oldByName;
        std::vector<int> replacement;
        if (old) {
            replacement.assign(old->Entries().size(), -1);
            for (int i = 0; i < static_cast<int>(old->Entries().size()); ++i)
                oldByName.emplace(UpperCase(old->Entries()[static_cast<std::size_t>(i)].name), i);
        }
        std::vector<int> added;
        for (int s = 0; s < static_cast<int>(sources.size()); ++s) {
            const SourceFile& file = sources[static_cast<std::size_t>(s)];
            const auto it = oldByName.find(UpperCase(file.entryName));
            if (it == oldByName.end()) {
                if (!options_.freshen) added.push_back(s);
                continue;
            }
            const auto& entry = old->Entries()[static_cast<std::size_t>(it->second)];
            // Update and freshen replace an entry only with a newer file (DOS date/time order).
            if ((options_.update || options_.freshen) && file.dosDateTime <= entry.header.dosDateTime)
                continue;
            replacement[static_cast<std::size_t>(it->second)] = s;
        }
        for (int i = 0; i < static_cast<int>(replacement.size()); ++i)
            plan.push_back({i, replacement[static_cast<std::size_t>(i)]});
        for (int s : added) plan.push_back({-1, s});
    }

    std::uint64_t totalBytes = 0;
    std::uint64_t totalFiles = 0;
    for (const auto& item : plan)
        if (item.sourceIndex >= 0) {
            totalBytes += sources[static_cast<std::size_t>(item.sourceIndex)].size;
            ++totalFiles;
        }
    if (!options_.deleteEntries && totalFiles == 0) {
        Report(kLibErrNothingToDo, "Nothing to do: no new or changed file to store");
        return 0;
    }

    EncodeSettings base;
    base.level = options_.level;
    if (options_.encrypt && totalFiles > 0) {
        std::string password = options_.password;
        if (password.empty()) {
            auto answer = channel_.RequestPassword(
                true,
                sources[static_cast<std::size_t>(plan.front().sourceIndex >= 0 ? plan.front().sourceIndex
                                                                               : 0)]
                    .entryName,
                1);
            if (channel_.Cancelled()) return 0;
            if (answer.password) password = *answer.password;
        }
        if (password.empty()) {
            Report(kLibErrPassword, "No password given: the encrypted archive was not written");
            return 0;
        }
        base.password = password.substr(0, kPasswordBufferSize - 1);
    }

    if (!channel_.FileTotal(totalFiles) || !channel_.SizeTotal(totalBytes)) return 0;

    tempPath_ = Fs().TempFileName(FolderOf(archive), "vpk");
    if (tempPath_.empty()) {
        Report(kLibErrTempFile, "The new archive could not be created beside " + archive);
        return 0;
    }
    ArchiveBuilder out(tempPath_);
    // A self-extracting archive keeps its stub: the new archive starts with the same bytes, and its
    // offsets count them, as they did in the old one.
    if (old && old->DataStart() > 0) out.CopyFrom(old->Input(), 0, old->DataStart());
    WorkerPool pool;
    std::deque<Pending> pending;
    std::size_t nextPlan = 0;
    std::uint64_t bytesInFlight = 0;
    std::size_t batchesInFlight = 0;
    const std::size_t maxBatchesInFlight = 4u * pool.Size() + 2;
    auto settingsFor = [&](const SourceFile& file) {
        EncodeSettings settings = base;
        settings.store = HasStoreSuffix(file.entryName, options_.storeSuffixes);
        return settings;
    };
    std::shared_ptr<EncodeBatch> open;
    std::vector<std::size_t> openPending;  // where the open batch's files sit in pending
    auto submit = [&] {
        if (!open) return;
        std::shared_future<void> done = pool.Submit([batch = open] {
                                                  for (auto& slot : batch->slots)
                                                      slot.encoded =
                                                          EncodeBuffered(*slot.file, slot.settings, slot.data);
                                              }).share();
        for (std::size_t at : openPending) pending[at].done = done;
        open.reset();
        openPending.clear();
        ++batchesInFlight;
    };
    auto fill = [&] {
        while (nextPlan < plan.size() &&
               (pending.empty() || (bytesInFlight < kMaxBytesInFlight && batchesInFlight < maxBatchesInFlight &&
                                    pending.size() < kMaxPending))) {
            Pending p;
            p.item = plan[nextPlan++];
            if (p.item.sourceIndex >= 0) {
                const SourceFile& file = sources[static_cast<std::size_t>(p.item.sourceIndex)];
                p.streamed = !file.isFolder && file.size > kBufferedLimit;
                if (!p.streamed) {
                    if (!open) open = std::make_shared<EncodeBatch>();
                    p.batch = open;
                    p.slot = open->slots.size();
                    open->slots.push_back({&file, settingsFor(file), {}, {}});
                    p.bytes = file.size * 2 + 4096;
                    open->bytes += file.size;
                    bytesInFlight += p.bytes;
                    openPending.push_back(pending.size());
                }
            }
            pending.push_back(std::move(p));
            if (open && (open->bytes >= kBatchBytes || open->slots.size() >= kBatchFiles)) submit();
        }
        submit();
    };
    auto copyOld = [&](int index) {
        const ArchiveEntry& entry = old->Entries()[static_cast<std::size_t>(index)];
        const EntryData where = old->Locate(entry);
        CentralRecord record;
        record.header = entry.header;
        record.storedName = entry.storedName;
        record.extra = RemoveExtraField(entry.extra, kExtraZip64);
        record.comment = entry.comment;
        record.uncompressedSize = entry.values.uncompressedSize;
        record.compressedSize = entry.values.compressedSize;
        record.localHeaderOffset = out.Position();
        record.header.diskNumberStart = 0;
        out.CopyFrom(old->Input(), where.headerOffset, where.End() - where.headerOffset);
        out.AddCentral(std::move(record));
    };

    fill();
    while (!pending.empty()) {
        Pending p = std::move(pending.front());
        pending.pop_front();
        if (p.item.sourceIndex < 0) {
            copyOld(p.item.oldIndex);
            fill();
            continue;
        }
        const SourceFile& file = sources[static_cast<std::size_t>(p.item.sourceIndex)];
        std::string entryName = file.entryName;
        if (auto renamed = channel_.NewName(entryName)) {
            entryName = *renamed;
            std::replace(entryName.begin(), entryName.end(), '\\', '/');
        }
        if (!channel_.FileStart(entryName, file.size)) return 0;
        std::string error;
        std::optional<CentralRecord> record;
        if (p.streamed) {
            record = EncodeStreamed(out, file, entryName, settingsFor(file), channel_, pool, error);
            if (!record && error.empty()) return 0;  // stopped
        } else {
            p.done.get();
            bytesInFlight -= p.bytes;
            auto& slot = p.batch->slots[p.slot];
            if (p.slot + 1 == p.batch->slots.size()) --batchesInFlight;
            if (slot.encoded.error.empty()) {
                record = WriteEncoded(out, file, entryName, slot.encoded, slot.data);
                if (!channel_.BytesDone(slot.encoded.uncompressedSize)) return 0;
            } else {
                error = slot.encoded.error;
            }
            slot.data.Release();
        }
        if (record) {
            out.AddCentral(std::move(*record));
            storedSources.push_back(p.item.sourceIndex);
            ++changed;
            if (options_.verbose) Report(kLibOk, "adding: " + BackslashName(entryName));
        } else {
            // A file that vanished or cannot be read is skipped; an entry it was to replace stays.
            Report(kLibErrFileRead, "Skipped, cannot read " + file.path + ": " + error);
            if (p.item.oldIndex >= 0) copyOld(p.item.oldIndex);
        }
        if (channel_.Cancelled()) return 0;
        fill();
    }
    if (changed == 0) {
        Report(kLibErrNothingToDo, "Nothing was stored");
        return 0;
    }

    std::string comment = options_.comment ? *options_.comment : (old ? old->Comment() : std::string());
    out.Finish(comment);
    if (old) KeepPermissions(archive, tempPath_);
    old.reset();  // close the old archive before it is replaced
    if (!Fs().RenameFile(tempPath_, archive)) {
        Report(kLibErrWrite, "The new archive could not replace " + archive + "; the old one is unchanged");
        return 0;
    }
    tempPath_.clear();
    SyncFolder(FolderOf(archive));

    std::uint32_t newest = 0;
    for (int s : storedSources) {
        const SourceFile& file = sources[static_cast<std::size_t>(s)];
        newest = std::max(newest, file.dosDateTime);
        if (options_.resetArchive && !file.isFolder) Fs().ClearArchiveBit(file.path);
    }
    if (options_.move) {
        // Sources go only now that the archive holding them is safely in place.
        for (int s : storedSources) {
            const SourceFile& file = sources[static_cast<std::size_t>(s)];
            if (!file.isFolder && !Fs().DeleteFile(file.path))
                Report(kLibErrWarning, "Stored but could not be deleted: " + file.path);
        }
    }
    if (options_.zipTime && newest != 0) Fs().SetFileTime(archive, UnixFromDosDateTime(newest));
    return changed;
}

}  // namespace vpk::zip

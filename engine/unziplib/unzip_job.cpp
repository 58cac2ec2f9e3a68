#include "engine/unziplib/unzip_job.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <set>

#include "engine/unziplib/entry_decoder.h"
#include "engine/unziplib/extract_path.h"
#include "engine/unziplib/target_folders.h"
#include "engine/zip_archive_reader.h"
#include "engine/zip_names.h"
#include "engine/zip_worker_pool.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"

namespace vpk::zip {
namespace {

constexpr std::uint64_t kMaxBytesInFlight = 48u << 20;

bool Flag(std::int32_t value) {
    return value != 0;
}

std::string FolderOf(const std::string& path) {
    const auto cut = path.rfind('\\');
    if (cut == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, cut);
}

std::string JoinPath(const std::string& folder, const std::string& relative) {
    return folder.ends_with("\\") ? folder + relative : folder + "\\" + relative;
}

// What a worker hands back: the expansion's result and, when extracting, the file it wrote.
struct Decoded {
    DecodeResult result;
    std::unique_ptr<PendingFile> file;  // written; committed already unless the CRC is wrong
    bool committed = false;
    std::string writeError;
};

struct Work {
    std::size_t index = 0;
    std::string target;  // virtual path; empty in test mode
    std::string hostTarget;
    bool replacing = false;  // a file of that name is on disk
    std::string damage;      // the local header could not be read
    bool streamed = false;
    EntryData where;
    std::optional<std::string> password;
    std::future<struct Decoded> future;
    std::string placeError;  // the target could not be placed
    std::shared_ptr<std::vector<std::uint8_t>> output;
    std::uint64_t bytes = 0;
};

}  // namespace

UnzipJobOptions UnzipJobOptions::FromCommand(const UnzipCommand& c) {
    UnzipJobOptions o;
    if (c.archiveName) o.archive = c.archiveName;
    for (std::int32_t i = 0; c.specs && i < c.specCount; ++i)
        if (c.specs[i].spec && *c.specs[i].spec) o.specs.emplace_back(c.specs[i].spec);
    if (c.password) o.password.assign(c.password, strnlen(c.password, kPasswordBufferSize - 1));
    o.test = Flag(c.test);
    o.update = Flag(c.update);
    o.freshen = Flag(c.freshen) && !o.update;
    o.dirNames = Flag(c.dirNames);
    o.overwrite = Flag(c.overwrite);
    o.verbose = Flag(c.verbose) || Flag(c.trace);
    o.passwordRequests = std::clamp(c.passwordReqCount, 0, kMaxPasswordRepeat);
    return o;
}

std::int32_t UnzipJob::Run() {
    std::int32_t result = 0;
    try {
        result = RunGuarded();
    } catch (const std::bad_alloc&) {
        channel_.Message(kLibErrMemory, "Out of memory while reading " + options_.archive);
    } catch (const std::exception& e) {
        channel_.Message(kLibErrArchive, std::string("Extraction stopped: ") + e.what());
    }
    channel_.BatchEnd();
    return result;
}

std::int32_t UnzipJob::RunGuarded() {
    std::optional<ZipArchiveReader> reader;
    try {
        reader.emplace(Fs().FullPath(options_.archive));
    } catch (const std::exception& e) {
        channel_.Message(kLibErrArchive, std::string("Cannot read the archive: ") + e.what());
        return 0;
    }
    const auto& entries = reader->Entries();
    std::vector<std::size_t> selected;
    std::uint64_t totalBytes = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool hit =
            options_.specs.empty() ||
            std::any_of(options_.specs.begin(), options_.specs.end(),
                        [&](const std::string& spec) { return EntryNameMatches(spec, entries[i].name); });
        if (!hit) continue;
        selected.push_back(i);
        totalBytes += entries[i].values.uncompressedSize;
    }
    if (!channel_.FileTotal(selected.size()) || !channel_.SizeTotal(totalBytes)) return 0;
    const std::string base = Fs().CurrentFolder();

    std::optional<std::string> password;
    if (!options_.password.empty()) password = options_.password;
    std::int32_t requestsLeft = options_.passwordRequests;
    std::int32_t done = 0;

    TargetFolders folders;
    std::set<std::string> foldersMade;
    WorkerPool pool;
    std::deque<Work> pending;
    std::size_t next = 0;
    std::uint64_t bytesInFlight = 0;

    // The target of an entry, decided on the calling thread in entry order. Returns false to skip;
    // decisions needing a callback happen only with an empty pipeline so callbacks stay in file order.
    enum class Decision { Go, Skip, NeedsCallback };
    auto decide = [&](const ArchiveEntry& entry, bool mayCall, std::string& target, bool& onDiskNow) {
        if (options_.test) return Decision::Go;
        // Without folder names a folder entry has nothing to create.
        if (entry.IsFolder() && !options_.dirNames) return Decision::Skip;
        const auto relative = SafeRelativePath(entry.name, options_.dirNames);
        if (!relative) {
            if (!mayCall) return Decision::NeedsCallback;
            channel_.Message(kLibErrUnsafeName, "Skipped unsafe name (outside the extraction folder): " +
                                                    BackslashName(entry.name));
            channel_.Skipped(entry.name, kSkipUnsafeName, kLibErrUnsafeName);
            return Decision::Skip;
        }
        target = JoinPath(base, *relative);
        if (entry.IsFolder()) return Decision::Go;
        const auto host = folders.HostPath(target);
        const auto onDisk = host ? HostFileDosTime(*host) : std::nullopt;
        onDiskNow = onDisk.has_value();
        if (!onDisk) {
            if (!options_.freshen) return Decision::Go;
            if (!mayCall) return Decision::NeedsCallback;
            channel_.Skipped(entry.name, kSkipOnFreshen, 0);
            return Decision::Skip;
        }
        if (!mayCall) return Decision::NeedsCallback;
        const bool older = *onDisk < entry.header.dosDateTime;
        if (options_.update || options_.freshen) {
            if (!older) {
                channel_.Skipped(entry.name, kSkipFileNewer, 0);
                return Decision::Skip;
            }
            return Decision::Go;
        }
        if (!channel_.FileExists(entry.name, older, options_.overwrite)) {
            channel_.Skipped(entry.name, kSkipNoOverwrite, 0);
            return Decision::Skip;
        }
        return Decision::Go;
    };
    auto fill = [&] {
        while (next < selected.size() &&
               (bytesInFlight < kMaxBytesInFlight && pending.size() < 8u * pool.Size() + 8)) {
            const ArchiveEntry& entry = entries[selected[next]];
            std::string target;
            bool onDisk = false;
            Decision d = decide(entry, pending.empty(), target, onDisk);
            if (d == Decision::NeedsCallback) return;  // wait until the pipeline drains
            ++next;
            if (d == Decision::Skip) continue;
            Work w;
            w.index = selected[next - 1];
            w.target = target;
            if (!options_.test && !entry.IsFolder()) {
                // Placed here, before the worker writes the file.
                const std::string folder = FolderOf(w.target);
                if (foldersMade.insert(folder).second && !Fs().FolderExists(folder))
                    Fs().CreateFolderChain(folder);
                const auto host = folders.HostPath(w.target);
                if (host) {
                    w.hostTarget = *host;
                    w.replacing = onDisk;
                } else {
                    w.placeError = "cannot place " + w.target;
                }
            }
            try {
                w.where = reader->Locate(entry);
            } catch (const ZipFormatError& e) {
                w.damage = e.what();  // reported at its turn, in order
                pending.push_back(std::move(w));
                continue;
            }
            w.password = password;
            w.streamed = entry.IsFolder() || entry.values.uncompressedSize > kDecodeBufferedLimit ||
                         entry.values.compressedSize > kDecodeBufferedLimit;
            if (!w.streamed) {
                w.output = std::make_shared<std::vector<std::uint8_t>>();
                w.bytes = entry.values.compressedSize + entry.values.uncompressedSize + 1024;
                bytesInFlight += w.bytes;
                auto output = w.output;
                File* archive = &reader->Input();
                const EntryData where = w.where;
                const auto pw = w.password;
                const bool write = !options_.test && w.placeError.empty();
                const std::string host = w.hostTarget;
                const bool replacing = w.replacing;
                w.future = pool.Submit([archive, &entry, where, pw, output, write, host, replacing] {
                    Decoded d;
                    d.result = DecodeBuffered(*archive, entry, where, pw, *output);
                    const auto status = d.result.status;
                    if (write && (status == DecodeStatus::Ok || status == DecodeStatus::CrcMismatch)) {
                        try {
                            d.file = std::make_unique<PendingFile>(host, replacing);
                            d.file->Write(output->data(), output->size());
                            if (status == DecodeStatus::Ok) {
                                d.file->Commit(entry.header.dosDateTime,
                                               entry.header.externalAttributes & kAttrReadOnly);
                                d.committed = true;
                            }
                        } catch (const PlatformError& e) {
                            d.file.reset();
                            d.writeError = e.what();
                        }
                    }
                    if (status != DecodeStatus::BadPassword) std::vector<std::uint8_t>().swap(*output);
                    return d;
                });
            }
            pending.push_back(std::move(w));
        }
    };

    fill();
    while (!pending.empty() || next < selected.size()) {
        if (pending.empty()) {
            fill();
            continue;
        }
        Work w = std::move(pending.front());
        pending.pop_front();
        const ArchiveEntry& entry = entries[w.index];
        if (!channel_.FileStart(entry.name, entry.values.uncompressedSize)) return done;
        if (!w.damage.empty()) {
            channel_.Message(kLibErrArchive, "Damaged entry " + BackslashName(entry.name) + ": " + w.damage);
            channel_.Skipped(entry.name, kSkipBadEntry, kLibErrArchive);
            fill();
            continue;
        }
        if (entry.IsFolder()) {
            if (!options_.test && !Fs().FolderExists(w.target) && !Fs().CreateFolderChain(w.target)) {
                channel_.Message(kLibErrWrite, "Cannot create the folder " + w.target);
                channel_.Skipped(entry.name, kSkipWriteError, kLibErrWrite);
            } else {
                ++done;
            }
            fill();
            continue;
        }
        if (!w.placeError.empty()) {
            channel_.Message(kLibErrWrite, "Cannot write: " + w.placeError);
            channel_.Skipped(entry.name, kSkipWriteError, kLibErrWrite);
            fill();
            continue;
        }
        std::optional<std::string> pw = w.password;
        std::unique_ptr<PendingFile> out;
        DecodeResult result;
        bool stopped = false;
        bool fromWorker = false;  // the worker wrote (and committed) the file itself
        bool committed = false;
        // Expands once with the given password; streamed entries go straight into the output file.
        auto decodeNow = [&](const std::optional<std::string>& tryPassword) {
            out.reset();
            if (!options_.test) out = std::make_unique<PendingFile>(w.hostTarget, w.replacing);
            if (w.streamed) {
                return DecodeStreamed(reader->Input(), entry, w.where, tryPassword,
                                      [&](const std::uint8_t* data, std::size_t size) {
                                          if (out) out->Write(data, size);
                                          return channel_.BytesDone(size);
                                      });
            }
            auto r = DecodeBuffered(reader->Input(), entry, w.where, tryPassword, *w.output);
            return r;
        };
        try {
            if (w.streamed) {
                result = decodeNow(pw);
            } else {
                Decoded d = w.future.get();
                bytesInFlight -= w.bytes;
                if (!d.writeError.empty()) throw PlatformError(d.writeError);
                result = d.result;
                out = std::move(d.file);
                committed = d.committed;
                fromWorker = true;
            }
            // A missing or wrong password: the engine may supply others, as often as it allows.
            while (result.status == DecodeStatus::BadPassword) {
                if (password && pw != password) {
                    pw = password;  // one accepted meanwhile for an earlier entry
                } else {
                    if (requestsLeft <= 0) break;
                    auto answer = channel_.RequestPassword(false, entry.name, requestsLeft);
                    if (channel_.Cancelled()) return done;
                    requestsLeft = answer.password ? std::min(answer.repeatCount, requestsLeft - 1) : 0;
                    if (!answer.password) break;
                    pw = answer.password;
                }
                result = decodeNow(pw);
                fromWorker = false;
                if (result.status != DecodeStatus::BadPassword && pw) password = pw;
            }
            stopped = result.status == DecodeStatus::Stopped;
            if (!stopped && !w.streamed && !fromWorker && out && result.status != DecodeStatus::BadPassword &&
                result.status != DecodeStatus::Damaged && result.status != DecodeStatus::UnknownMethod)
                out->Write(w.output->data(), w.output->size());
        } catch (const PlatformError& e) {
            channel_.Message(kLibErrWrite, std::string("Cannot write: ") + e.what());
            channel_.Skipped(entry.name, kSkipWriteError, kLibErrWrite);
            if (w.output) w.output.reset();
            fill();
            continue;
        }
        if (stopped || channel_.Cancelled()) return done;
        const std::string shown = BackslashName(entry.name);
        try {
            switch (result.status) {
                case DecodeStatus::Ok:
                    if (out && !committed)
                        out->Commit(entry.header.dosDateTime,
                                    entry.header.externalAttributes & kAttrReadOnly);
                    if (!options_.test) folders.Created(w.hostTarget);
                    if (!w.streamed && !channel_.BytesDone(entry.values.uncompressedSize)) return done + 1;
                    ++done;
                    if (options_.verbose)
                        channel_.Message(kLibOk, (options_.test ? "tested: " : "extracted: ") + shown);
                    break;
                case DecodeStatus::CrcMismatch:
                    channel_.Message(kLibErrCrc, "CRC error in " + shown);
                    if (channel_.CrcError(entry.name, result.crc32, entry.header.crc32) && out) {
                        out->Commit(entry.header.dosDateTime, false);
                        folders.Created(w.hostTarget);
                    }
                    break;
                case DecodeStatus::BadPassword:
                    channel_.Message(kLibErrPassword, "Missing or wrong password for " + shown);
                    channel_.Skipped(entry.name, kSkipBadPassword, kLibErrPassword);
                    break;
                case DecodeStatus::UnknownMethod:
                    channel_.Message(kLibErrMethod, "Cannot expand " + shown + ": " + result.error);
                    channel_.Skipped(entry.name, kSkipUnknownMethod, kLibErrMethod);
                    break;
                default:
                    channel_.Message(kLibErrArchive, "Damaged entry " + shown + ": " + result.error);
                    channel_.Skipped(entry.name, kSkipBadEntry, kLibErrArchive);
                    break;
            }
        } catch (const PlatformError& e) {
            channel_.Message(kLibErrWrite, std::string("Cannot write: ") + e.what());
            channel_.Skipped(entry.name, kSkipWriteError, kLibErrWrite);
        }
        out.reset();
        w.output.reset();
        if (channel_.Cancelled()) return done;
        fill();
    }
    return done;
}

}  // namespace vpk::zip

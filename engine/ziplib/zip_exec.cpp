// Exports of libvpkzip.so.
#include "engine/library_entry.h"
#include "engine/ziplib/zip_job.h"

extern "C" __attribute__((visibility("default"))) std::int32_t GetZipVersion() {
    return vpk::kLibraryInterfaceVersion;
}

extern "C" __attribute__((visibility("default"))) std::int32_t ZipExec(vpk::ZipCommand* command) {
    return vpk::zip::RunLibraryCommand<vpk::zip::ZipJob, vpk::zip::ZipJobOptions>(
        command, "Unexpected failure in the zip library");
}

// Exports of libvpkunz.so.
#include "engine/library_entry.h"
#include "engine/unziplib/unzip_job.h"

extern "C" __attribute__((visibility("default"))) std::int32_t GetUnzVersion() {
    return vpk::kLibraryInterfaceVersion;
}

extern "C" __attribute__((visibility("default"))) std::int32_t UnzExec(vpk::UnzipCommand* command) {
    return vpk::zip::RunLibraryCommand<vpk::zip::UnzipJob, vpk::zip::UnzipJobOptions>(
        command, "Unexpected failure in the unzip library");
}

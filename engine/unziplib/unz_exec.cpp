// Exports of libvpkunz.so.
#include "engine/library_interface.h"
#include "engine/unziplib/unzip_job.h"
#include "engine/zip_callback_channel.h"
#include "engine/zip_host_binding.h"

extern "C" __attribute__((visibility("default"))) std::int32_t GetUnzVersion() {
    return vpk::kLibraryInterfaceVersion;
}

extern "C" __attribute__((visibility("default"))) std::int32_t UnzExec(vpk::UnzipCommand* command) {
    if (command == nullptr) return 0;
    vpk::zip::CallbackChannel channel(command->callback, command->caller);
    try {
        vpk::zip::BindHostPlatform();
        if (command->check != vpk::kCommandRecordCheck) {
            channel.Message(vpk::kLibErrParameter, "The command record does not match this library");
            return 0;
        }
        vpk::zip::UnzipJob job(vpk::zip::UnzipJobOptions::FromCommand(*command), channel);
        return job.Run();
    } catch (...) {
        channel.Message(vpk::kLibErrMemory, "Unexpected failure in the unzip library");
        return 0;
    }
}

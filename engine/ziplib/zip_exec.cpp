// Exports of libvpkzip.so.
#include "engine/library_interface.h"
#include "engine/zip_callback_channel.h"
#include "engine/zip_host_binding.h"
#include "engine/ziplib/zip_job.h"

extern "C" __attribute__((visibility("default"))) std::int32_t GetZipVersion() {
    return vpk::kLibraryInterfaceVersion;
}

extern "C" __attribute__((visibility("default"))) std::int32_t ZipExec(vpk::ZipCommand* command) {
    if (command == nullptr) return 0;
    vpk::zip::CallbackChannel channel(command->callback, command->caller);
    try {
        vpk::zip::BindHostPlatform();
        if (command->check != vpk::kCommandRecordCheck) {
            channel.Message(vpk::kLibErrParameter, "The command record does not match this library");
            return 0;
        }
        vpk::zip::ZipJob job(vpk::zip::ZipJobOptions::FromCommand(*command), channel);
        return job.Run();
    } catch (...) {
        // Nothing may cross the C boundary.
        channel.Message(vpk::kLibErrMemory, "Unexpected failure in the zip library");
        return 0;
    }
}

#pragma once
// The body of both libraries' execute exports: one job per command record, nothing crossing the C
// boundary but the result, every failure reported through the caller's callback.
#include <cstdint>

#include "engine/library_interface.h"
#include "engine/zip_callback_channel.h"
#include "engine/zip_host_binding.h"

namespace vpk::zip {

// Job is built from (JobOptions::FromCommand(*command), channel) and run; its result is the export's.
template <class Job, class JobOptions, class Command>
std::int32_t RunLibraryCommand(Command* command, const char* unexpectedFailure) {
    if (command == nullptr) return 0;
    CallbackChannel channel(command->callback, command->caller);
    try {
        BindHostPlatform();
        if (command->check != kCommandRecordCheck) {
            channel.Message(kLibErrParameter, "The command record does not match this library");
            return 0;
        }
        Job job(JobOptions::FromCommand(*command), channel);
        return job.Run();
    } catch (...) {
        channel.Message(kLibErrMemory, unexpectedFailure);
        return 0;
    }
}

}  // namespace vpk::zip

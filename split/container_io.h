#pragma once
// Where container bytes go to and come from: a piece file of the virtual file system, or a stream the
// owner supplies (":STREAM"). Both count the bytes of the current piece, which the writer's piece
// bound is measured against. Failures raise PlatformError: from the file layer, or as ContainerIoError for
// streams and reads that come up short.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "platform/platform_error.h"

namespace vpk::split {

// A PlatformError, so callers handle every input/output failure in one place.
class ContainerIoError : public PlatformError {
  public:
    using PlatformError::PlatformError;
};

class ContainerSink {
  public:
    virtual ~ContainerSink() = default;
    virtual void Write(const void* data, std::size_t size) = 0;
    // Flushes and releases; raises when the data did not reach the medium. Never closes an owner's stream.
    virtual void Close() = 0;
    std::uint64_t Position() const { return position_; }
    // A stream carries piece after piece; each one's bound counts from its own start.
    void StartPiece() { position_ = 0; }

    void WriteInt32(std::int32_t value);
    void WriteString(std::string_view bytes);  // length, then the bytes

  protected:
    std::uint64_t position_ = 0;
};

class ContainerSource {
  public:
    virtual ~ContainerSource() = default;
    // Up to size bytes; fewer only at the end.
    virtual std::size_t Read(void* data, std::size_t size) = 0;
    virtual void Skip(std::uint64_t size) = 0;  // raises ContainerIoError past the end
    virtual void Close() = 0;

    void ReadExact(void* data, std::size_t size);  // raises ContainerIoError at a short read
    std::int32_t ReadInt32();
};

std::unique_ptr<ContainerSink> CreatePieceFile(std::string_view path);  // replaces any file of that name
std::unique_ptr<ContainerSink> StreamSink(std::ostream& stream);
std::unique_ptr<ContainerSource> OpenPieceFile(std::string_view path);
std::unique_ptr<ContainerSource> StreamSource(std::istream& stream);

}  // namespace vpk::split

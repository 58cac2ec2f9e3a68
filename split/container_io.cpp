#include "split/container_io.h"

#include <algorithm>
#include <array>

namespace vpk::split {

namespace {

class FileSink : public ContainerSink {
  public:
    explicit FileSink(std::string_view path) : file_(path, File::Mode::Create) {}
    void Write(const void* data, std::size_t size) override {
        file_.Write(data, size);
        position_ += size;
    }
    void Close() override {
        if (file_.IsOpen()) file_.Close();
    }

  private:
    File file_;
};

class OwnerStreamSink : public ContainerSink {
  public:
    explicit OwnerStreamSink(std::ostream& stream) : stream_(stream) {}
    void Write(const void* data, std::size_t size) override {
        stream_.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!stream_) throw ContainerIoError("cannot write to the stream");
        position_ += size;
    }
    void Close() override {
        stream_.flush();
        if (!stream_) throw ContainerIoError("cannot write to the stream");
    }

  private:
    std::ostream& stream_;
};

class FileSource : public ContainerSource {
  public:
    explicit FileSource(std::string_view path) : file_(path, File::Mode::Read), size_(file_.Size()) {}
    std::size_t Read(void* data, std::size_t size) override { return file_.Read(data, size); }
    void Skip(std::uint64_t size) override {
        const std::uint64_t at = file_.Tell();
        if (size > size_ - std::min(at, size_)) throw ContainerIoError("the piece ends inside a chunk");
        file_.Seek(at + size);
    }
    void Close() override {
        if (file_.IsOpen()) file_.Close();
    }

  private:
    File file_;
    std::uint64_t size_;
};

class OwnerStreamSource : public ContainerSource {
  public:
    explicit OwnerStreamSource(std::istream& stream) : stream_(stream) {}
    std::size_t Read(void* data, std::size_t size) override {
        stream_.read(static_cast<char*>(data), static_cast<std::streamsize>(size));
        const auto got = static_cast<std::size_t>(stream_.gcount());
        if (stream_.bad()) throw ContainerIoError("cannot read the stream");
        return got;
    }
    void Skip(std::uint64_t size) override {
        std::array<char, 4096> scratch;
        while (size > 0) {
            const std::size_t step = size < scratch.size() ? static_cast<std::size_t>(size) : scratch.size();
            if (Read(scratch.data(), step) != step) throw ContainerIoError("the stream ends inside a chunk");
            size -= step;
        }
    }
    void Close() override {}

  private:
    std::istream& stream_;
};

}  // namespace

void ContainerSink::WriteInt32(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    Write(bytes, sizeof bytes);
}

void ContainerSink::WriteString(std::string_view bytes) {
    WriteInt32(static_cast<std::int32_t>(bytes.size()));
    Write(bytes.data(), bytes.size());
}

void ContainerSource::ReadExact(void* data, std::size_t size) {
    if (Read(data, size) != size) throw ContainerIoError("the container ends too early");
}

std::int32_t ContainerSource::ReadInt32() {
    unsigned char bytes[4];
    ReadExact(bytes, sizeof bytes);
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::unique_ptr<ContainerSink> CreatePieceFile(std::string_view path) {
    return std::make_unique<FileSink>(path);
}
std::unique_ptr<ContainerSink> StreamSink(std::ostream& stream) {
    return std::make_unique<OwnerStreamSink>(stream);
}
std::unique_ptr<ContainerSource> OpenPieceFile(std::string_view path) {
    return std::make_unique<FileSource>(path);
}
std::unique_ptr<ContainerSource> StreamSource(std::istream& stream) {
    return std::make_unique<OwnerStreamSource>(stream);
}

}  // namespace vpk::split

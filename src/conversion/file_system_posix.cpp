#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "errors.h"
#include "file_system.h"

namespace quorbel {
namespace {

constexpr std::size_t kCopyPiece = std::size_t{1} << 20;
constexpr std::size_t kReadAhead = std::size_t{64} << 10;
constexpr std::size_t kWriteBehind = std::size_t{1} << 20;

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

[[noreturn]] void ThrowFileError(const std::string& what, int error) {
    throw FileError(what + ": " + std::strerror(error));
}

struct stat StatOfDescriptor(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ThrowFileError("cannot examine " + Quoted(path), errno);
    }
    return info;
}

FileIdentity IdentityOf(const struct stat& info) {
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowFileError("cannot write " + Quoted(path), errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// A name for the temporary file that says whose it is, short enough for any file system.
std::string TemporaryName(const std::filesystem::path& destination, unsigned attempt) {
    std::string base = destination.filename().string().substr(0, 200);
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%x%04x.part", static_cast<long>(::getpid()),
                  static_cast<unsigned>(tick & 0xFFFFFF), attempt);
    return "." + base + suffix;
}

}  // namespace

InputFile::InputFile(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        ThrowFileError("cannot open " + Quoted(path), errno);
    }
    // The destructor does not run for a constructor that throws: close the file before that.
    struct stat info {};
    const bool examined = ::fstat(fd_, &info) == 0;
    const int error = errno;
    if (!examined || !S_ISREG(info.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        if (!examined) {
            ThrowFileError("cannot examine " + Quoted(path), error);
        }
        throw FileError("cannot read " + Quoted(path) + ": not a regular file");
    }
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    }
    knownSize_ = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
}

InputFile::~InputFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::uint64_t InputFile::SizeNow() const {
    const struct stat info = StatOfDescriptor(fd_, path_);
    return static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
}

void InputFile::RequireAvailable(std::size_t count) {
    if (position_ <= knownSize_ && count <= knownSize_ - position_) {
        return;
    }
    knownSize_ = SizeNow();  // the file may have grown since it was last looked at
    if (position_ > knownSize_ || count > knownSize_ - position_) {
        throw FileError("unexpected end of " + Quoted(path_) + ": " + std::to_string(count) +
                        " bytes wanted at offset " + std::to_string(position_) + ", the file has " +
                        std::to_string(knownSize_) + " bytes");
    }
}

void InputFile::ReadInto(char* destination, std::size_t count) {
    while (count > 0) {
        if (bufferStart_ == buffer_.size()) {
            buffer_.resize(kReadAhead);
            bufferStart_ = 0;
            ssize_t got = -1;
            do {
                got = ::read(fd_, buffer_.data(), buffer_.size());
            } while (got < 0 && errno == EINTR);
            if (got < 0) {
                const int error = errno;
                buffer_.clear();
                ThrowFileError("cannot read " + Quoted(path_), error);
            }
            buffer_.resize(static_cast<std::size_t>(got));
            if (got == 0) {
                throw FileError("unexpected end of " + Quoted(path_) + " at offset " +
                                std::to_string(position_));
            }
        }
        const std::size_t piece = std::min(count, buffer_.size() - bufferStart_);
        std::memcpy(destination, buffer_.data() + bufferStart_, piece);
        bufferStart_ += piece;
        destination += piece;
        count -= piece;
        position_ += piece;
    }
}

std::string InputFile::Read(std::size_t count) {
    RequireAvailable(count);
    std::string bytes(count, '\0');
    ReadInto(bytes.data(), count);
    return bytes;
}

void InputFile::CopyTo(OutputFile& out, std::size_t count) {
    RequireAvailable(count);
    std::vector<char> piece(std::min(count, kCopyPiece));
    while (count > 0) {
        const std::size_t size = std::min(count, piece.size());
        ReadInto(piece.data(), size);
        out.Write(std::string_view(piece.data(), size));
        count -= size;
    }
}

void InputFile::Skip(std::uint64_t count) {
    RequireAvailable(count);
    const std::size_t buffered = buffer_.size() - bufferStart_;
    if (count <= buffered) {
        bufferStart_ += count;
        position_ += count;
        return;
    }
    const std::uint64_t target = position_ + count;
    if (::lseek(fd_, static_cast<off_t>(target), SEEK_SET) < 0) {
        ThrowFileError("cannot seek in " + Quoted(path_), errno);
    }
    buffer_.clear();
    bufferStart_ = 0;
    position_ = target;
}

FileIdentity InputFile::Identity() const {
    return IdentityOf(StatOfDescriptor(fd_, path_));
}

OutputFile::OutputFile(const std::string& destination) : destination_(destination) {
    if (destination.empty()) {
        throw FileError("cannot create the output: the path is empty");
    }
    const std::filesystem::path target(destination);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    for (unsigned attempt = 0;; ++attempt) {
        temporaryPath_ = (folder / TemporaryName(target, attempt)).string();
        // 0666: the umask takes off what a plain create would.
        fd_ = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                     0666);
        if (fd_ >= 0) {
            return;
        }
        if (errno != EEXIST || attempt >= 100) {
            const int error = errno;
            temporaryPath_.clear();
            ThrowFileError("cannot create a new file in " + Quoted(folder.string()), error);
        }
    }
}

OutputFile::~OutputFile() {
    Discard();
}

void OutputFile::Write(std::string_view bytes) {
    if (fd_ < 0) {
        throw FileError("cannot write " + Quoted(destination_) + ": the file is closed");
    }
    pending_.append(bytes);
    if (pending_.size() >= kWriteBehind) {
        WritePending();
    }
}

void OutputFile::WritePending() {
    WriteAll(fd_, pending_, temporaryPath_);
    pending_.clear();
}

void OutputFile::Commit() {
    if (fd_ < 0) {
        throw FileError("cannot finish " + Quoted(destination_) + ": the file is closed");
    }
    try {
        WritePending();
    } catch (const FileError&) {
        Discard();
        throw;
    }
    if (::fsync(fd_) != 0) {
        const int error = errno;
        Discard();
        ThrowFileError("cannot flush " + Quoted(temporaryPath_) + " to the disk", error);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        Discard();
        ThrowFileError("cannot close " + Quoted(temporaryPath_), error);
    }
    if (std::rename(temporaryPath_.c_str(), destination_.c_str()) != 0) {
        const int error = errno;
        Discard();
        ThrowFileError("cannot put the new file in place of " + Quoted(destination_), error);
    }
    committed_ = true;
}

void OutputFile::Discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !temporaryPath_.empty()) {
        ::unlink(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}

PathStatus StatusOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return PathStatus{};
        }
        ThrowFileError("cannot look up " + Quoted(path), error);
    }
    PathStatus status;
    status.kind = S_ISREG(info.st_mode)   ? PathKind::RegularFile
                  : S_ISDIR(info.st_mode) ? PathKind::Directory
                                          : PathKind::Other;
    status.identity = IdentityOf(info);
    status.anyWriteBit = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return status;
}

}  // namespace quorbel

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/errors.h"
#include "base/quoted.h"
#include "files/file_system.h"

namespace quorbel {
namespace {

constexpr std::size_t kReadAhead = std::size_t{64} << 10;

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

void InputFile::Require(std::uint64_t count) {
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

std::uint64_t InputFile::Remaining() {
    knownSize_ = SizeNow();
    return knownSize_ > position_ ? knownSize_ - position_ : 0;
}

void InputFile::Take(char* destination, std::size_t count) {
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
    std::string bytes;
    ReadInto(bytes, count);
    return bytes;
}

void InputFile::ReadInto(std::string& into, std::size_t count) {
    Require(count);
    into.resize(count);
    Take(into.data(), count);
}

void InputFile::ReadInto(char* out, std::size_t count) {
    Require(count);
    Take(out, count);
}

void InputFile::Skip(std::uint64_t count) {
    Require(count);
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

std::optional<FileIdentity> StandardOutputIdentity() {
    struct stat info {};
    if (::fstat(STDOUT_FILENO, &info) != 0) {
        return std::nullopt;
    }
    return IdentityOf(info);
}

void MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0) {
        ThrowFileError("cannot make the folder " + Quoted(path), errno);
    }
}

void RemoveEmptyFolder(const std::string& path) noexcept {
    ::rmdir(path.c_str());
}

}  // namespace quorbel

// The small file layer under the conversion: byte-exact sequential files on the host's own calls.
// Everything that is not portable C++ lives behind this header (file_system_posix.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quorbel {

// What makes two names the same file: device and inode number (links included).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A regular file open for sequential reading from its first byte.
class InputFile {
  public:
    // Opens path for reading. Throws FileError when it cannot be opened or is not a regular file
    // (directories, FIFOs and devices are refused at once, without waiting on them).
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The next count bytes. Throws FileError when the file holds fewer (checked before any memory
    // is taken for them) or the read fails.
    std::string Read(std::size_t count);

    // Moves the next count bytes to out in bounded pieces. Throws FileError as Read does.
    void CopyTo(class OutputFile& out, std::size_t count);

    // Passes over the next count bytes without reading them. Throws FileError when the file holds
    // fewer or the seek fails.
    void Skip(std::uint64_t count);

    // The file's length in bytes as last looked at (at the open, or when a read ran short).
    std::uint64_t Size() const { return knownSize_; }

    FileIdentity Identity() const;
    const std::string& Path() const { return path_; }

  private:
    void RequireAvailable(std::size_t count);
    void ReadInto(char* destination, std::size_t count);
    std::uint64_t SizeNow() const;

    std::string path_;
    int fd_ = -1;
    std::uint64_t position_ = 0;  // of the next byte handed out
    std::uint64_t knownSize_ = 0;
    // Read ahead: rows are small, and one system call per row would dominate a conversion.
    std::string buffer_;
    std::size_t bufferStart_ = 0;
};

// A new file written beside its destination and put in its place only by Commit, so that the
// destination is either untouched or holds the complete new content.
class OutputFile {
  public:
    // Creates a temporary file in destination's folder, exclusively, with the permissions a plain
    // create would give. Throws FileError when that is impossible (empty path, missing folder, no
    // permission).
    explicit OutputFile(const std::string& destination);
    // Removes the temporary file unless Commit succeeded.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Appends bytes. Throws FileError when the write fails.
    void Write(std::string_view bytes);

    // Flushes to the disk, closes, and renames the temporary file onto the destination. Throws
    // FileError when any of it fails; the temporary file is removed then.
    void Commit();

    // Closes and removes the temporary file; the destination stays as it was.
    void Discard() noexcept;

    const std::string& TemporaryPath() const { return temporaryPath_; }

  private:
    void WritePending();

    std::string destination_;
    std::string temporaryPath_;
    int fd_ = -1;
    bool committed_ = false;
    std::string pending_;  // written out in large pieces
};

// What a path names, following links.
enum class PathKind { Missing, RegularFile, Directory, Other };

struct PathStatus {
    PathKind kind = PathKind::Missing;
    FileIdentity identity;
    bool anyWriteBit = false;  // the owner, group or others may write it
};

// Looks path up. Throws FileError when the lookup itself fails (a name too long, a loop of links,
// a folder that may not be searched); a name that does not exist is Missing.
PathStatus StatusOf(const std::string& path);

}  // namespace quorbel

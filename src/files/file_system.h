// The small file layer under every command: byte-exact sequential reading on the host's own calls,
// and what a path names. File names are bytes from end to end. Everything that is not portable C++
// lives behind this header and output_file.h (file_system_posix.cpp, output_file.cpp).
#pragma once

#include <cstdint>
#include <optional>
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

    // The next count bytes into into (its earlier content replaced, its memory reused). Throws
    // FileError as Read does.
    void ReadInto(std::string& into, std::size_t count);

    // The next count bytes into out[0..count). Throws FileError as Read does.
    void ReadInto(char* out, std::size_t count);

    // Throws FileError, as Read would, when fewer than count bytes are left.
    void Require(std::uint64_t count);

    // The bytes left after those handed out, the file's size looked at now.
    std::uint64_t Remaining();

    // Passes over the next count bytes without reading them. Throws FileError when the file holds
    // fewer or the seek fails.
    void Skip(std::uint64_t count);

    // The file's length in bytes as last looked at (at the open, or when a read ran short).
    std::uint64_t Size() const { return knownSize_; }

    FileIdentity Identity() const;
    const std::string& Path() const { return path_; }

  private:
    void Take(char* destination, std::size_t count);
    std::uint64_t SizeNow() const;

    std::string path_;
    int fd_ = -1;
    std::uint64_t position_ = 0;  // of the next byte handed out
    std::uint64_t knownSize_ = 0;
    // Read ahead: rows are small, and one system call per row would dominate a conversion.
    std::string buffer_;
    std::size_t bufferStart_ = 0;
};

// What a path names, following links.
enum class PathKind { Missing, RegularFile, Directory, Other };

struct PathStatus {
    PathKind kind = PathKind::Missing;
    FileIdentity identity;
    bool anyWriteBit = false;  // the owner, group or others may write it
};

// Looks path up, following links. Throws FileError when the lookup itself fails (a name too
// long, a loop of links, a folder that may not be searched); a name that does not exist, or one
// whose folder does not exist, is Missing.
PathStatus StatusOf(const std::string& path);

// What standard output writes to, or nothing when it is closed.
std::optional<FileIdentity> StandardOutputIdentity();

// Makes the folder path names, with the permissions 0777 minus the umask; its own folder must
// exist. Throws FileError when it cannot, an existing name included.
void MakeFolder(const std::string& path);

// Removes the folder path names when it is empty; nothing else happens, whatever the reason it
// cannot. For undoing a MakeFolder that led to nothing.
void RemoveEmptyFolder(const std::string& path) noexcept;

}  // namespace quorbel

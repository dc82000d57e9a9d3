// The one way every command writes a file. A new file is written beside its destination and put
// in its place only by Commit, so the destination is either untouched or holds the complete new
// content, and a replaced file keeps what the user set on it:
//  - refused before anything is created: an empty name, a missing folder, a folder, anything that
//    is not a regular file (devices, FIFOs, sockets), a file the command is reading (same device
//    and inode), a file with no write bit at all, and one the real user may not write;
//  - a symbolic link is followed to its last target, which is checked and replaced; the link
//    stays a link. Links are followed only as the kernel's fs.protected_symlinks would follow
//    them, whatever the machine's setting: not one of another user in a folder that anyone may
//    write to and whose sticky bit is set (/tmp), unless it is the folder owner's;
//  - the new content goes to a temporary file in the target's folder that only its owner can read
//    while it is written: an unnamed one where the file system has them (so that nothing is left
//    behind, even after SIGKILL), a hidden named one elsewhere;
//  - Prepare flushes it to the disk and gives it the replaced file's mode, group, owner (when the
//    writer may), ACL and extended attributes, or 0666 minus the umask for a new file; Publish
//    names an unnamed file and renames it onto the target. The files of one command are all
//    prepared before the first is published, so that they keep no name until that short pass.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_system.h"

namespace quorbel {

// A file that a command reads and so may not replace.
struct FileBeingRead {
    FileIdentity identity;
    std::string what;  // for the message: "the tileset"
};

// Where a destination leads and what is there now.
struct OutputTarget {
    std::string target;  // the destination with its links followed
    bool exists = false;
    FileIdentity identity;     // of the file, or of its folder when it does not exist yet
    bool throughLink = false;  // a link was followed on the way
};

// Checks that destination may be replaced (or created), without creating anything; returns where
// its links lead. Throws FileError naming destination and the reason.
OutputTarget CheckReplaceable(const std::string& destination,
                              std::span<const FileBeingRead> reading = {});

// Checks every destination of one command as CheckReplaceable does, and that no two of them are
// one file (the same device and inode, or the same name in the same folder for a file not made
// yet): the later would silently replace the earlier. Creates nothing. Throws FileError naming
// both.
void CheckReplaceableTogether(std::span<const std::string> destinations,
                              std::span<const FileBeingRead> reading = {});

class OutputFile {
  public:
    // Checks destination as CheckReplaceable does and creates the temporary file. Throws FileError.
    explicit OutputFile(const std::string& destination,
                        std::span<const FileBeingRead> reading = {});
    // Removes the temporary file unless Commit succeeded.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Appends bytes. Throws FileError when the write fails.
    void Write(std::string_view bytes);

    // Room for count more bytes, to be filled in place; Advance(n) then appends the first n of
    // them. Saves a copy for writers that build their bytes piece by piece. Throws FileError when
    // pending bytes must be written out first and that fails.
    char* Room(std::size_t count);
    void Advance(std::size_t count) { pendingSize_ += count; }

    // Prepare and Publish in one. Throws FileError; the temporary file is removed then.
    void Commit();

    // Everything of Commit that can fail but the naming and the rename: the bytes written out and
    // flushed to the disk, the final permissions and attributes. The write buffer is freed, so
    // that many prepared files take no memory (an unnamed one keeps its descriptor, its only
    // hold). Throws FileError; the temporary file is removed then.
    void Prepare();
    // Gives an unnamed prepared file a name in the target's folder and renames it onto the
    // target. Throws FileError; the temporary file is removed then.
    void Publish();

    // Closes and removes the temporary file; the destination stays as it was.
    void Discard() noexcept;

    const std::string& Destination() const { return destination_; }
    bool Prepared() const { return prepared_ && !committed_; }
    bool Committed() const { return committed_; }

  private:
    void WritePending();
    std::string TemporaryName(unsigned attempt) const;
    void CreateTemporary();
    void ApplyFinalAttributes();
    void LinkIntoFolder();
    void Close();
    [[noreturn]] void Fail(const std::string& what, int error);

    std::string destination_;
    OutputTarget target_;
    std::string folder_;
    int fd_ = -1;
    bool unnamed_ = false;       // made with O_TMPFILE: no name until LinkIntoFolder
    std::string temporaryName_;  // its name in the folder, once it has one
    bool prepared_ = false;
    bool committed_ = false;
    std::unique_ptr<char[]> pending_;  // written out in large pieces
    std::size_t pendingSize_ = 0;
    std::size_t pendingCapacity_ = 0;
};

// Prepares every file not yet prepared, then publishes them in one short final pass, so that a
// failure or a stop before that pass replaces none of them and leaves no name behind. Throws
// FileError; RunInterrupted, with every file discarded, when stopRequested says so once all are
// prepared. Once the pass has begun it goes on to its end.
void CommitTogether(std::span<OutputFile* const> files,
                    const std::function<bool()>& stopRequested = {});

}  // namespace quorbel

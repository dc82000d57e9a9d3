#include "files/output_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "base/errors.h"
#include "base/quoted.h"

namespace quorbel {
namespace {

constexpr std::size_t kWriteBehind = std::size_t{1} << 20;
constexpr int kMostLinksFollowed = 40;  // as the kernel's own limit
constexpr const char* kAclAttribute = "system.posix_acl_access";

[[noreturn]] void ThrowFileError(const std::string& what, int error) {
    throw FileError(what + ": " + std::strerror(error));
}

// The folder part of path ("." for a bare name) and the name part.
std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The user uid in a message: "nobody (uid 65534)".
std::string OwnerName(uid_t uid) {
    const std::string number = "uid " + std::to_string(uid);
    const struct passwd* user = ::getpwuid(uid);
    return user != nullptr ? std::string(user->pw_name) + " (" + number + ")" : number;
}

// The kernel's fs.protected_symlinks rule, applied whatever the machine's own setting: in a folder
// that anyone may write to and whose sticky bit is set (/tmp), a link is followed only when it
// belongs to the caller or to the folder's owner, so that another user cannot plant a link there
// that leads a writer onto a file of their choosing. Throws FileError naming the link and its
// owner.
void RequireLinkMayBeFollowed(const std::string& destination, const std::string& link,
                              const struct stat& linkInfo, const std::string& folder) {
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0) {
        ThrowFileError("cannot look up " + Quoted(folder), errno);
    }
    const bool shared = (folderInfo.st_mode & S_ISVTX) != 0 && (folderInfo.st_mode & S_IWOTH) != 0;
    if (!shared || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == folderInfo.st_uid) {
        return;
    }
    throw FileError("cannot replace " + Quoted(destination) + ": it leads through the link " +
                    Quoted(link) + " of " + OwnerName(linkInfo.st_uid) + " in " + Quoted(folder) +
                    ", a folder anyone may write to; a link there is followed only when it "
                    "belongs to you or to the folder's owner (as the kernel's "
                    "fs.protected_symlinks has it): see where it leads with ls -l " +
                    ShellQuoted(link) + ", and give the output another name");
}

// Appends the parts of path between slashes to pending, the first part last; "." parts are left
// out.
void PushParts(std::string_view path, std::vector<std::string>& pending) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, slash - start);
        if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        start = slash + 1;
    }
    pending.insert(pending.end(), parts.rbegin(), parts.rend());
}

struct FollowedPath {
    std::string path;
    bool throughLink = false;
};

// destination with every link on its way followed (folders' links too), each checked as the
// kernel's fs.protected_symlinks would check it, relative links read from their own folder. The
// part from the first name that does not exist on is kept as it is.
FollowedPath FollowLinks(const std::string& destination) {
    std::vector<std::string> pending;
    PushParts(destination, pending);
    std::string resolved = destination.starts_with('/') ? "/" : "";
    bool throughLink = false;
    int followed = 0;
    while (!pending.empty()) {
        const std::string folder = resolved.empty() ? "." : resolved;
        const std::string path =
            resolved.empty()
                ? pending.back()
                : (resolved.ends_with('/') ? resolved : resolved + "/") + pending.back();
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            const int error = errno;
            if (error != ENOENT && error != ENOTDIR) {
                ThrowFileError("cannot look up " + Quoted(destination), error);
            }
            resolved = path;
            pending.pop_back();
            while (!pending.empty()) {
                resolved += "/" + pending.back();
                pending.pop_back();
            }
            break;
        }
        pending.pop_back();
        if (!S_ISLNK(info.st_mode)) {
            resolved = path;
            continue;
        }
        if (++followed > kMostLinksFollowed) {
            ThrowFileError("cannot replace " + Quoted(destination), ELOOP);
        }
        RequireLinkMayBeFollowed(destination, path, info, folder);
        std::string link(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)) + 256, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length <= 0) {
            ThrowFileError("cannot read the link " + Quoted(path), length < 0 ? errno : ENOENT);
        }
        link.resize(static_cast<std::size_t>(length));
        if (link.starts_with('/')) {
            resolved = "/";
        }
        PushParts(link, pending);
        throughLink = true;
    }
    if (!throughLink) {
        return {destination, false};
    }
    return {resolved.empty() ? "." : resolved, true};
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Names of the extended attributes of path (ACLs included), empty where it has none or the
// file system keeps none.
std::vector<std::string> AttributeNames(const std::string& path) {
    for (;;) {
        const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
        if (size <= 0) {
            return {};
        }
        std::string names(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::listxattr(path.c_str(), names.data(), names.size());
        if (got < 0 && errno == ERANGE) {
            continue;  // they changed meanwhile
        }
        if (got < 0) {
            return {};
        }
        std::vector<std::string> list;
        for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
            const std::string name(names.c_str() + at);
            at += name.size() + 1;
            list.push_back(name);
        }
        return list;
    }
}

// The attributes that only the kernel's or the administrator's own programs set: a writer that
// may not copy them leaves them out, as cp --preserve=all does.
bool IsPrivileged(const std::string& name) {
    return name.starts_with("security.") || name.starts_with("trusted.");
}

// destination for a message, with where its links lead.
std::string ShownTarget(const std::string& destination, const OutputTarget& target) {
    return target.throughLink ? Quoted(destination) + " (a link to " + Quoted(target.target) + ")"
                              : Quoted(destination);
}

}  // namespace

OutputTarget CheckReplaceable(const std::string& destination,
                              std::span<const FileBeingRead> reading) {
    if (destination.empty()) {
        throw FileError("cannot create the output: the path is empty");
    }
    const FollowedPath followed = FollowLinks(destination);
    OutputTarget result{followed.path, false, {}, followed.throughLink};
    const std::string shown = ShownTarget(destination, result);
    struct stat info {};
    if (::stat(result.target.c_str(), &info) != 0) {
        const int error = errno;
        if (error != ENOENT) {
            ThrowFileError("cannot look up " + shown, error);
        }
        const std::string folder = FolderOf(result.target);
        struct stat folderInfo {};
        if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode)) {
            throw FileError("cannot create " + shown + ": the folder " + Quoted(folder) +
                            " does not exist");
        }
        if (::access(folder.c_str(), W_OK | X_OK) != 0) {
            ThrowFileError("cannot create " + shown + " in " + Quoted(folder), errno);
        }
        result.identity = FileIdentity{static_cast<std::uint64_t>(folderInfo.st_dev),
                                       static_cast<std::uint64_t>(folderInfo.st_ino)};
        return result;
    }
    result.exists = true;
    if (S_ISDIR(info.st_mode)) {
        throw FileError("cannot replace " + shown + ": it is a folder");
    }
    if (!S_ISREG(info.st_mode)) {
        throw FileError("cannot replace " + shown + ": it is not a regular file");
    }
    result.identity = FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                                   static_cast<std::uint64_t>(info.st_ino)};
    for (const FileBeingRead& input : reading) {
        if (input.identity == result.identity) {
            throw FileError("cannot replace " + shown + ": it is " + input.what +
                            " being read; name another file for the output");
        }
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        throw FileError("cannot replace " + shown + ": the file is read-only");
    }
    // The real user's right, as cp asks it: a folder anyone may write to does not make its
    // files anyone's.
    if (::access(result.target.c_str(), W_OK) != 0) {
        ThrowFileError("cannot replace " + shown, errno);
    }
    return result;
}

void CheckReplaceableTogether(std::span<const std::string> destinations,
                              std::span<const FileBeingRead> reading) {
    std::vector<OutputTarget> targets;
    for (const std::string& destination : destinations) {
        targets.push_back(CheckReplaceable(destination, reading));
        const OutputTarget& target = targets.back();
        for (std::size_t earlier = 0; earlier + 1 < targets.size(); ++earlier) {
            const OutputTarget& other = targets[earlier];
            // A file not made yet is its folder and its name there.
            if (other.identity == target.identity && other.exists == target.exists &&
                (target.exists || NameOf(other.target) == NameOf(target.target))) {
                throw FileError("cannot write both " + ShownTarget(destinations[earlier], other) +
                                " and " + ShownTarget(destination, target) +
                                ": they are one file, and each output needs its own: remove the "
                                "link, or give the outputs other names");
            }
        }
    }
}

OutputFile::OutputFile(const std::string& destination, std::span<const FileBeingRead> reading)
    : destination_(destination), target_(CheckReplaceable(destination, reading)) {
    folder_ = FolderOf(target_.target);
    CreateTemporary();
}

OutputFile::~OutputFile() {
    Discard();
}

std::string OutputFile::TemporaryName(unsigned attempt) const {
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%x%04x.part", static_cast<long>(::getpid()),
                  static_cast<unsigned>(tick & 0xFFFFFF), attempt);
    // Hidden, saying whose it is, and short enough for any file system.
    return folder_ + "/." + NameOf(target_.target).substr(0, 200) + suffix;
}

void OutputFile::CreateTemporary() {
    // Readable by its owner alone until Prepare gives it the final permissions.
    fd_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
        unnamed_ = true;
        return;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        ThrowFileError("cannot create a new file in " + Quoted(folder_), errno);
    }
    // A file system without unnamed files: a hidden name beside the target.
    for (unsigned attempt = 0;; ++attempt) {
        const std::string name = TemporaryName(attempt);
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd_ >= 0) {
            temporaryName_ = name;
            return;
        }
        if (errno != EEXIST || attempt >= 100) {
            ThrowFileError("cannot create a new file in " + Quoted(folder_), errno);
        }
    }
}

[[noreturn]] void OutputFile::Fail(const std::string& what, int error) {
    Discard();
    ThrowFileError(what, error);
}

char* OutputFile::Room(std::size_t count) {
    if (fd_ < 0 || prepared_) {
        throw FileError("cannot write " + Quoted(destination_) + ": the file is closed");
    }
    if (pendingSize_ + count > pendingCapacity_) {
        WritePending();
        if (count > pendingCapacity_) {
            pendingCapacity_ = std::max(count, kWriteBehind);
            pending_ = std::make_unique_for_overwrite<char[]>(pendingCapacity_);
        }
    }
    return pending_.get() + pendingSize_;
}

void OutputFile::Write(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    std::memcpy(Room(bytes.size()), bytes.data(), bytes.size());
    Advance(bytes.size());
    if (pendingSize_ >= kWriteBehind) {
        WritePending();
    }
}

void OutputFile::WritePending() {
    std::string_view bytes(pending_.get(), pendingSize_);
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("cannot write " + Quoted(destination_), errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    pendingSize_ = 0;
}

void OutputFile::ApplyFinalAttributes() {
    if (!target_.exists) {
        if (::fchmod(fd_, 0666 & ~CurrentUmask()) != 0) {
            Fail("cannot set the permissions of " + Quoted(destination_), errno);
        }
        return;
    }
    struct stat old {};
    if (::stat(target_.target.c_str(), &old) != 0) {
        Fail("cannot look up " + Quoted(destination_), errno);
    }
    mode_t mode = old.st_mode & 07777;
    // The owner where the writer may give it away (root), else at least the group.
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
        mode &= ~static_cast<mode_t>(S_ISUID);
        if (::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // Another group now: it gets no more than everyone else had.
            mode &= ~static_cast<mode_t>(S_ISGID | S_IRWXG);
            mode |= ((old.st_mode & S_IRWXO) << 3) & old.st_mode & S_IRWXG;
        }
    }
    if (::fchmod(fd_, mode) != 0) {
        Fail("cannot set the permissions of " + Quoted(destination_), errno);
    }
    for (const std::string& name : AttributeNames(target_.target)) {
        std::string value(256, '\0');
        ssize_t size = ::getxattr(target_.target.c_str(), name.c_str(), value.data(), value.size());
        if (size < 0 && errno == ERANGE) {
            size = ::getxattr(target_.target.c_str(), name.c_str(), nullptr, 0);
            value.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
            size = ::getxattr(target_.target.c_str(), name.c_str(), value.data(), value.size());
        }
        if (size < 0) {
            if (IsPrivileged(name) || errno == ENODATA) {
                continue;
            }
            Fail("cannot read the attribute " + Quoted(name) + " of " + Quoted(destination_),
                 errno);
        }
        if (::fsetxattr(fd_, name.c_str(), value.data(), static_cast<std::size_t>(size), 0) != 0) {
            if (IsPrivileged(name) && name != kAclAttribute) {
                continue;
            }
            Fail("cannot keep the attribute " + Quoted(name) + " of " + Quoted(destination_),
                 errno);
        }
    }
}

void OutputFile::LinkIntoFolder() {
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
    for (unsigned attempt = 0;; ++attempt) {
        const std::string name = TemporaryName(attempt);
        if (::linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ||
            ::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporaryName_ = name;
            unnamed_ = false;
            return;
        }
        if (errno != EEXIST || attempt >= 100) {
            Fail("cannot give the new file a name in " + Quoted(folder_), errno);
        }
    }
}

void OutputFile::Close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Fail("cannot close " + Quoted(destination_), errno);
    }
}

void OutputFile::Prepare() {
    if (fd_ < 0 || prepared_) {
        throw FileError("cannot finish " + Quoted(destination_) + ": the file is closed");
    }
    WritePending();
    pending_.reset();
    pendingCapacity_ = 0;
    if (::fsync(fd_) != 0) {
        Fail("cannot flush " + Quoted(destination_) + " to the disk", errno);
    }
    ApplyFinalAttributes();
    prepared_ = true;
    // An unnamed file lives only through its descriptor; a named one may let it go.
    if (!unnamed_) {
        Close();
    }
}

void OutputFile::Publish() {
    if (!Prepared()) {
        throw FileError("cannot put " + Quoted(destination_) + " in place: it is not prepared");
    }
    if (unnamed_) {
        LinkIntoFolder();
        Close();
    }
    if (std::rename(temporaryName_.c_str(), target_.target.c_str()) != 0) {
        Fail("cannot put the new file in place of " + Quoted(destination_), errno);
    }
    committed_ = true;
    temporaryName_.clear();
}

void OutputFile::Commit() {
    Prepare();
    Publish();
}

void OutputFile::Discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !temporaryName_.empty()) {
        ::unlink(temporaryName_.c_str());
        temporaryName_.clear();
    }
    prepared_ = false;
}

void CommitTogether(std::span<OutputFile* const> files,
                    const std::function<bool()>& stopRequested) {
    try {
        for (OutputFile* file : files) {
            if (!file->Prepared()) {
                file->Prepare();
            }
        }
        if (stopRequested && stopRequested()) {
            throw RunInterrupted{};
        }
    } catch (...) {
        for (OutputFile* file : files) {
            file->Discard();
        }
        throw;
    }
    // The final pass: names and renames only, so that it is over in a moment.
    for (OutputFile* file : files) {
        file->Publish();
    }
}

}  // namespace quorbel

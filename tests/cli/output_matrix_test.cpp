// The bad-input matrix for outputs: every command that writes a file, run in this process (render,
// a program of its own, as a child; another user's rows as a child too) with its output at each
// kind of destination. Every row states whether the destination is written or refused; every row
// also requires that nothing else in the scratch folder changed: type, permission bits, owner,
// group, ACL, extended attributes, content or link target. So a replaced file keeps all it had but
// its content, a refused destination stays exactly as it was, a link stays a link, and no
// temporary file is left. Rows that need root (device nodes, other owners) or extended attributes
// are skipped, saying why, where those are not to be had. A lost standard output and signals need
// the process itself, so they run quorbel-lvl as a child.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>

#include "in_process.h"
#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;

constexpr const char* kEarlier = "the user's earlier file";

// The inputs every writer reads, in one scratch folder; beside it a folder for writers that write
// into a folder of their own.
struct Fixture {
    test::ScratchDir dir{test::SharedTemporaryFolder()};
    test::ScratchDir elsewhere{test::SharedTemporaryFolder()};
    std::string tileset = dir / "tileset.bmp";
    std::string map = dir / "map.bmp";
    std::string level = dir / "level.lvl";
    std::string tiledMap = dir / "map.tmx";    // with its picture map-tileset.bmp
    std::string palette = dir / "legend.gpl";  // the map's dark colour, for paint

    Fixture() {
        test::BmpBuilder(16, 16).WriteTo(tileset);
        test::BmpBuilder(4, 3).Pixels([](int x, int y) { return (x + y) % 2; }).WriteTo(map);
        WriteWholeFile(level, test::BmpBuilder(16, 16).Bytes() + test::LevelRecordBytes(1, 2, 1));
        WriteWholeFile(palette, "GIMP Palette\n0 0 0 ground 1\n");
        EXPECT_EQ(cli::Lvl({"export", level, tiledMap}).exitStatus, 0);
    }
};

// A command that writes one file: its arguments for an output path, the input a link may point
// at, and its exit status when it refuses the output.
struct Writer {
    std::string name;
    std::string suffix;  // of the output's name, which some writers take for its format
    std::function<std::vector<std::string>(const Fixture&, const std::string& output)> args;
    std::function<std::string(const Fixture&)> input;
    int refusedStatus = 1;
    int inputRefusedStatus = 1;  // for an output that is one of its inputs
    // A writer that puts the output's name into a text format refuses a name that is no UTF-8,
    // as bad usage.
    bool namesMustBeText = false;
    bool inAChild = false;  // runs in a program of its own, which quorbel-lvl starts
};

std::vector<Writer> Writers() {
    std::vector<Writer> writers = {
        {"convert", ".lvl",
         [](const Fixture& f, const std::string& out) {
             return std::vector<std::string>{"convert", f.tileset, f.map, out};
         },
         [](const Fixture& f) { return f.map; }, 1, 1},
        {"convert --report", ".txt",
         [](const Fixture& f, const std::string& out) {
             return std::vector<std::string>{"convert", "--report", out,
                                             f.tileset, f.map,      f.dir / "new.lvl"};
         },
         [](const Fixture& f) { return f.tileset; }, 64, 64},
        // Also writes MAP's picture, <name>-tileset.bmp, beside it: both or neither.
        {"export", ".tmx",
         [](const Fixture& f, const std::string& out) {
             return std::vector<std::string>{"export", f.level, out};
         },
         [](const Fixture& f) { return f.level; }, 1, 1, true},
        {"import", ".lvl",
         [](const Fixture& f, const std::string& out) {
             return std::vector<std::string>{"import", "--tileset", f.tileset, f.tiledMap, out};
         },
         [](const Fixture& f) { return f.tiledMap; }, 1, 1},
    };
    writers.push_back(
        {"compose", ".lvl",
         [](const Fixture& f, const std::string& out) {
             return std::vector<std::string>{"compose", f.tileset, out, "1:" + f.map, "2:" + f.map};
         },
         [](const Fixture& f) { return f.map; }, 1, 1});
    writers.push_back({"compose --report", ".txt",
                       [](const Fixture& f, const std::string& out) {
                           return std::vector<std::string>{
                               "compose", "--report",        out,
                               f.tileset, f.dir / "new.lvl", "1:" + f.map};
                       },
                       [](const Fixture& f) { return f.map; }, 64, 64});
    // split writes FOLDER/tileset.bmp: a link there leads it to the destination.
    writers.push_back({"split", ".bmp",
                       [](const Fixture& f, const std::string& out) {
                           const fs::path parts = f.elsewhere.Path() / "parts";
                           fs::create_directory(parts);
                           fs::permissions(f.elsewhere.Path(), fs::perms::all);
                           fs::permissions(parts, fs::perms::all);
                           fs::create_symlink(out, parts / "tileset.bmp");
                           return std::vector<std::string>{"split", f.level, parts.string()};
                       },
                       [](const Fixture& f) { return f.level; }, 1, 1});
#if QUORBEL_WITH_RENDER
    writers.push_back({"render", ".png",
                       [](const Fixture& f, const std::string& out) {
                           return std::vector<std::string>{"render", f.level, "-o", out};
                       },
                       [](const Fixture& f) { return f.level; }, 1, 64, false, true});
    writers.push_back(
        {"paint", ".lvl",
         [](const Fixture& f, const std::string& out) {
             return std::vector<std::string>{"paint", f.tileset, f.palette, f.map, out};
         },
         [](const Fixture& f) { return f.map; }, 1, 1, false, true});
#endif
    return writers;
}

// Type, permission bits, owner, group, content or link target, and extended attributes (ACLs
// among them) of every entry under the folder, links not followed.
std::map<std::string, std::string> Snapshot(const test::ScratchDir& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
        const std::string path = entry.path().string();
        struct stat info {};
        ::lstat(path.c_str(), &info);
        std::string what = std::to_string(info.st_mode) + " " + std::to_string(info.st_uid) + ":" +
                           std::to_string(info.st_gid) + " ";
        if (S_ISLNK(info.st_mode)) {
            what += fs::read_symlink(entry.path()).string();
        } else if (S_ISREG(info.st_mode)) {
            what += ReadWholeFile(path);
        } else if (S_ISCHR(info.st_mode)) {
            what += std::to_string(info.st_rdev);
        }
        char names[4096];
        const ssize_t length = ::llistxattr(path.c_str(), names, sizeof names);
        for (ssize_t at = 0; at < length;) {
            const std::string name(names + at);
            at += static_cast<ssize_t>(name.size()) + 1;
            char value[4096];
            const ssize_t size = ::lgetxattr(path.c_str(), name.c_str(), value, sizeof value);
            what += " [" + name + "=" + std::string(value, size > 0 ? size : 0) + "]";
        }
        entries[entry.path().lexically_relative(dir.Path()).string()] = what;
    }
    return entries;
}

// A POSIX access ACL in the kernel's attribute form: owner rw, the user "nobody" r, group none,
// mask r, others none.
std::string AclGivingNobodyRead() {
    std::string acl = test::Le32(2);  // version
    const auto entry = [&](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        acl += test::Le16(tag) + test::Le16(perm) + test::Le32(id);
    };
    entry(0x01, 6, 0xFFFFFFFF);  // owner
    entry(0x02, 4, 65534);       // user nobody
    entry(0x04, 0, 0xFFFFFFFF);  // group
    entry(0x10, 4, 0xFFFFFFFF);  // mask
    entry(0x20, 0, 0xFFFFFFFF);  // others
    return acl;
}

enum class Outcome { Written, Refused, RefusedAsInput };

struct Destination {
    std::string name;
    // Makes the destination in the fixture; returns the output path to give, and where the new
    // file lands when written (empty: at that path). Calls GTEST_SKIP when it cannot be made here.
    std::function<std::pair<std::string, std::string>(Fixture&, const std::string& suffix)> arrange;
    Outcome outcome;
    mode_t umask = 022;
    bool asNobody = false;
    mode_t newFileMode = 0;  // for a destination that did not exist: the mode it gets
    bool nameIsNoText = false;
    const char* says = "";  // part of standard error, for a refused destination
};

void PrintTo(const Destination& destination, std::ostream* out) {
    *out << destination.name;
}

// Marks the row skipped, saying why, when it cannot be arranged here; true then.
bool SkippedUnless(bool possible, const char* why) {
    if (!possible) {
        [why] { GTEST_SKIP() << why; }();
    }
    return !possible;
}

bool SkippedUnlessRoot() {
    return SkippedUnless(::geteuid() == 0, "needs root");
}

std::pair<std::string, std::string> At(const std::string& path) {
    return {path, ""};
}

std::pair<std::string, std::string> Existing(const Fixture& f, const std::string& name,
                                             mode_t mode) {
    WriteWholeFile(f.dir / name, kEarlier);
    fs::permissions(f.dir / name, static_cast<fs::perms>(mode));
    return At(f.dir / name);
}

// A link of the user nobody in a folder anyone may write to, with the sticky bit, owned by
// folderOwner; it leads to a file of the fixture's folder.
std::pair<std::string, std::string> LinkInAStickyFolder(Fixture& f, const std::string& x,
                                                        uid_t folderOwner) {
    if (SkippedUnlessRoot()) {
        return At("");
    }
    fs::create_directory(f.dir / "sticky");
    fs::permissions(f.dir / "sticky", fs::perms::all | fs::perms::sticky_bit);
    EXPECT_EQ(::chown((f.dir / "sticky").c_str(), folderOwner, folderOwner), 0);
    Existing(f, "target" + x, 0644);
    const std::string link = f.dir / "sticky/link" + x;
    fs::create_symlink(f.dir / "target" + x, link);
    EXPECT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
    return {link, f.dir / "target" + x};
}

const Destination kDestinations[] = {
    {"NewFile", [](Fixture& f, const std::string& x) { return At(f.dir / "new-output" + x); },
     Outcome::Written, 022, false, 0644},
    {"NewFileUnderUmask077",
     [](Fixture& f, const std::string& x) { return At(f.dir / "new-output" + x); },
     Outcome::Written, 077, false, 0600},
    {"PrivateFileStaysPrivate",
     [](Fixture& f, const std::string& x) { return Existing(f, "out" + x, 0600); },
     Outcome::Written},
    {"GroupWritableFileKeepsItsMode",
     [](Fixture& f, const std::string& x) { return Existing(f, "out" + x, 0664); },
     Outcome::Written, 077},
    {"OtherOwnerAndGroupKept",
     [](Fixture& f, const std::string& x) {
         if (SkippedUnlessRoot()) {
             return At("");
         }
         const auto made = Existing(f, "out" + x, 0640);
         EXPECT_EQ(::chown(made.first.c_str(), 65534, 65534), 0);
         return made;
     },
     Outcome::Written},
    {"AclAndExtendedAttributesKept",
     [](Fixture& f, const std::string& x) {
         const auto made = Existing(f, "out" + x, 0640);
         const std::string acl = AclGivingNobodyRead();
         const bool kept = ::setxattr(made.first.c_str(), "user.quorbel.note", "kept", 4, 0) == 0 &&
                           ::setxattr(made.first.c_str(), "system.posix_acl_access", acl.data(),
                                      acl.size(), 0) == 0;
         SkippedUnless(kept, "this file system keeps no ACL or extended attribute");
         return made;
     },
     Outcome::Written},
    {"ReadOnlyFileEvenForRoot",
     [](Fixture& f, const std::string& x) { return Existing(f, "out" + x, 0444); },
     Outcome::Refused},
    {"Folder",
     [](Fixture& f, const std::string& x) {
         fs::create_directory(f.dir / "folder" + x);
         return At(f.dir / "folder" + x);
     },
     Outcome::Refused},
    {"MissingFolder", [](Fixture& f, const std::string& x) { return At(f.dir / "none/out" + x); },
     Outcome::Refused},
    {"Fifo",
     [](Fixture& f, const std::string& x) {
         EXPECT_EQ(::mkfifo((f.dir / "fifo" + x).c_str(), 0666), 0);
         return At(f.dir / "fifo" + x);
     },
     Outcome::Refused},
    {"DeviceNode",
     [](Fixture& f, const std::string& x) {
         if (SkippedUnlessRoot()) {
             return At("");
         }
         EXPECT_EQ(::mknod((f.dir / "null" + x).c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
         return At(f.dir / "null" + x);
     },
     Outcome::Refused},
    {"Socket",
     [](Fixture& f, const std::string& x) {
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         const std::string path = f.dir / "socket" + x;
         if (SkippedUnless(path.size() < sizeof address.sun_path,
                           "the scratch folder's name is too long for a socket")) {
             return At("");
         }
         path.copy(address.sun_path, path.size());
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
         ::close(fd);
         return At(path);
     },
     Outcome::Refused},
    {"LinkToAFileElsewhere",
     [](Fixture& f, const std::string& x) {
         fs::create_directory(f.dir / "shared");
         Existing(f, "shared/target" + x, 0640);
         fs::create_symlink("shared/target" + x, f.dir / "link" + x);
         return std::pair{f.dir / "link" + x, f.dir / "shared/target" + x};
     },
     Outcome::Written},
    {"ChainOfLinks",
     [](Fixture& f, const std::string& x) {
         fs::create_directory(f.dir / "shared");
         Existing(f, "shared/target" + x, 0600);
         fs::create_symlink(f.dir / "shared/target" + x, f.dir / "shared/second" + x);
         fs::create_symlink("shared/second" + x, f.dir / "first" + x);
         return std::pair{f.dir / "first" + x, f.dir / "shared/target" + x};
     },
     Outcome::Written},
    {"DanglingLink",
     [](Fixture& f, const std::string& x) {
         fs::create_symlink("made-by-the-writer" + x, f.dir / "link" + x);
         return std::pair{f.dir / "link" + x, f.dir / "made-by-the-writer" + x};
     },
     Outcome::Written, 022, false, 0644},
    {"LinkToAFifo",
     [](Fixture& f, const std::string& x) {
         EXPECT_EQ(::mkfifo((f.dir / "fifo" + x).c_str(), 0666), 0);
         fs::create_symlink("fifo" + x, f.dir / "link" + x);
         return At(f.dir / "link" + x);
     },
     Outcome::Refused},
    {"LinkToAReadOnlyFile",
     [](Fixture& f, const std::string& x) {
         Existing(f, "target" + x, 0400);
         fs::create_symlink("target" + x, f.dir / "link" + x);
         return At(f.dir / "link" + x);
     },
     Outcome::Refused},
    {"LinkLoop",
     [](Fixture& f, const std::string& x) {
         fs::create_symlink("loop" + x, f.dir / "loop" + x);
         return At(f.dir / "loop" + x);
     },
     Outcome::Refused},
    // The name is no UTF-8: a writer that took it for text would reach its look-alike instead.
    {"NameThatIsNoUtf8BesideItsLookAlike",
     [](Fixture& f, const std::string& x) {
         WriteWholeFile(f.dir / "lvl\xEF\xBF\xBD" + x, "the look-alike");
         return At(f.dir / "lvl\xFF" + x);
     },
     Outcome::Written, 022, false, 0644, true},
    // A folder anyone may write to does not make its files anyone's: cp refuses these too.
    {"FileTheUserMayNotWrite",
     [](Fixture& f, const std::string& x) {
         if (SkippedUnlessRoot()) {
             return At("");
         }
         fs::permissions(f.dir.Path(), fs::perms::all | fs::perms::sticky_bit);
         for (const std::string& input : {f.tileset, f.map, f.level}) {
             fs::permissions(input, fs::perms::owner_read | fs::perms::owner_write |
                                        fs::perms::group_read | fs::perms::others_read);
         }
         return Existing(f, "out" + x, 0644);
     },
     Outcome::Refused, 022, true},
    {"LinkToAnInput", [](Fixture&, const std::string&) { return At(""); },  // made per writer below
     Outcome::RefusedAsInput},
    // As the kernel's fs.protected_symlinks has it, whatever this machine's setting: another
    // user's link in a folder anyone may write to, with the sticky bit (/tmp), is not followed...
    {"LinkOfAnotherUserInAStickyFolder",
     [](Fixture& f, const std::string& x) { return LinkInAStickyFolder(f, x, /*folderOwner=*/0); },
     Outcome::Refused, 022, false, 0, false, "of nobody (uid 65534) in '"},
    // ...unless the folder is that user's own.
    {"LinkOfTheFolderOwnerInAStickyFolder",
     [](Fixture& f, const std::string& x) {
         return LinkInAStickyFolder(f, x, /*folderOwner=*/65534);
     },
     Outcome::Written},
};

// Runs the writer in this process unless a child is the point: another user, or a program of its
// own. The umask is the process's, so it is set around the run and given back.
test::CommandResult RunWriter(const Writer& writer, const Destination& destination,
                              const std::vector<std::string>& args) {
    if (destination.asNobody) {
        return test::RunProcessAsNobody(QUORBEL_LVL, args, {QUORBEL_LVL_RENDER});
    }
    if (writer.inAChild) {
        test::ProcessOptions options;
        options.umask = destination.umask;
        return test::RunProcess(QUORBEL_LVL, args, options);
    }
    const mode_t saved = ::umask(destination.umask);
    const test::CommandResult result = cli::Lvl(args);
    ::umask(saved);
    return result;
}

class OutputMatrix : public ::testing::TestWithParam<Destination> {};

TEST_P(OutputMatrix, WrittenOrRefusedAndNothingElseChanged) {
    const Destination& destination = GetParam();
    for (const Writer& writer : Writers()) {
        SCOPED_TRACE(writer.name);
        Fixture fixture;
        auto [output, landsAt] = destination.arrange(fixture, writer.suffix);
        if (::testing::Test::IsSkipped()) {
            return;
        }
        if (destination.outcome == Outcome::RefusedAsInput) {
            fs::create_symlink(writer.input(fixture), fixture.dir / "link" + writer.suffix);
            output = fixture.dir / "link" + writer.suffix;
        }
        const std::string target = landsAt.empty() ? output : landsAt;
        const std::string key = fs::path(target).lexically_relative(fixture.dir.Path()).string();
        const auto before = Snapshot(fixture.dir);
        const std::vector<std::string> args = writer.args(fixture, output);

        const test::CommandResult result = RunWriter(writer, destination, args);

        const bool written = destination.outcome == Outcome::Written &&
                             !(destination.nameIsNoText && writer.namesMustBeText);
        auto after = Snapshot(fixture.dir);
        after.erase("new.lvl");  // the report writer's level
        if (written) {
            // export's picture beside its map, written with it.
            std::erase_if(after, [&](const auto& entry) {
                return before.count(entry.first) == 0 && entry.first.ends_with("-tileset.bmp");
            });
        }
        if (destination.nameIsNoText && writer.namesMustBeText) {
            EXPECT_EQ(result.exitStatus, 64) << result.err;
        } else if (written) {
            EXPECT_EQ(result.exitStatus, 0) << result.err;
            ASSERT_EQ(after.count(key), 1u) << key;
            struct stat info {};
            ASSERT_EQ(::lstat(target.c_str(), &info), 0);
            EXPECT_TRUE(S_ISREG(info.st_mode));
            EXPECT_NE(ReadWholeFile(target), kEarlier);
            if (before.count(key) == 0) {
                EXPECT_EQ(info.st_mode & 07777, destination.newFileMode);
                after.erase(key);
            } else {
                // All it had but its content and size.
                const auto metadata = [](const std::string& entry) {
                    return entry.substr(0, entry.find(' ', entry.find(' ') + 1));
                };
                const auto attributes = [](const std::string& entry) {
                    const auto at = entry.find(" [");
                    return at == std::string::npos ? std::string() : entry.substr(at);
                };
                EXPECT_EQ(metadata(after[key]), metadata(before.at(key)));
                EXPECT_EQ(attributes(after[key]), attributes(before.at(key)));
                after[key] = before.at(key);
            }
        } else {
            const int expected = destination.outcome == Outcome::RefusedAsInput
                                     ? writer.inputRefusedStatus
                                     : writer.refusedStatus;
            EXPECT_EQ(result.exitStatus, expected) << result.err;
            EXPECT_NE(result.err.find(destination.says), std::string::npos) << result.err;
        }
        EXPECT_EQ(after, before) << "other files changed, appeared or were left behind";
    }
}

INSTANTIATE_TEST_SUITE_P(Destinations, OutputMatrix, ::testing::ValuesIn(kDestinations),
                         [](const auto& test) { return test.param.name; });

// What quorbel-lvl prints to standard output must get there: a full disk or a closed standard
// output is an error, as coreutils report it.
TEST(LostStandardOutput, IsAFailure) {
    Fixture fixture;
    std::vector<std::vector<std::string>> commands = {{"info", fixture.level},
                                                      {"--version"},
                                                      {"convert", "--help"},
                                                      {"split", fixture.level, fixture.dir / "p"}};
#if QUORBEL_WITH_RENDER
    commands.push_back({"render", fixture.level, "-o", fixture.dir / "preview.png"});
#endif
    for (const auto& args : commands) {
        for (const auto where :
             {test::ProcessOptions::Output::Full, test::ProcessOptions::Output::Closed}) {
            test::ProcessOptions options;
            options.standardOutput = where;
            const auto result = test::RunProcess(QUORBEL_LVL, args, options);
            EXPECT_EQ(result.exitStatus, 1) << args[0] << "\n" << result.err;
            EXPECT_NE(result.err.find("write error"), std::string::npos) << result.err;
        }
    }
}

// Signals around a conversion: what the process was told to ignore stays ignored, a file-size
// limit is a failure with its cause, and not even SIGKILL leaves a temporary file.
TEST(SignalsDuringAConversion, EndCleanly) {
    Fixture fixture;
    test::BmpBuilder(1024, 1024).Pixels([](int, int) { return 0; }).WriteTo(fixture.map);
    const std::vector<std::string> args{"convert", fixture.tileset, fixture.map,
                                        fixture.dir / "out.lvl"};
    const std::size_t complete = ReadWholeFile(fixture.tileset).size() + 4u * 1024 * 1024;

    test::ProcessOptions nohup;
    nohup.ignoredSignals = {SIGHUP};
    nohup.signal = SIGHUP;
    nohup.signalAfterMicroseconds = 2000;
    auto result = test::RunProcess(QUORBEL_LVL, args, nohup);
    EXPECT_EQ(result.exitStatus, 0) << result.err;

    WriteWholeFile(fixture.dir / "out.lvl", kEarlier);
    test::ProcessOptions limited;
    limited.fileSizeLimit = 100000;
    result = test::RunProcess(QUORBEL_LVL, args, limited);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("cause: cannot write '" + fixture.dir / "out.lvl" + "'"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(ReadWholeFile(fixture.dir / "out.lvl"), kEarlier);

    for (long delay = 0; delay <= 8000; delay += 2000) {
        test::ProcessOptions killed;
        killed.signal = SIGKILL;
        killed.signalAfterMicroseconds = delay;
        result = test::RunProcess(QUORBEL_LVL, args, killed);
        const std::string left = ReadWholeFile(fixture.dir / "out.lvl");
        EXPECT_TRUE(left == kEarlier || left.size() == complete) << delay;
        EXPECT_EQ(fixture.dir.Leftovers(), std::vector<std::string>{}) << delay;
        WriteWholeFile(fixture.dir / "out.lvl", kEarlier);
    }
}

// True when files holds entry: a name and its digest.
bool Holds(const std::map<std::string, std::size_t>& files,
           const std::pair<const std::string, std::size_t>& entry) {
    const auto found = files.find(entry.first);
    return found != files.end() && found->second == entry.second;
}

// Signals during split, export and import: no output has a name before all are complete, so not
// even SIGKILL leaves a temporary file (but in the moment of the final pass), and a stop signal
// leaves every output as it was, or, once that pass has begun, all of them complete.
TEST(SignalsDuringAWriter, LeaveEveryOutputWholeOrAsItWasAndNoTemporaryFile) {
    Fixture f;
    std::string level = test::BmpBuilder(8 * 16, 16).Bytes();  // tiles 1..8, bottom row first
    for (std::uint32_t y = 1024; y-- > 0;) {
        for (std::uint32_t x = 0; x < 1024; ++x) {
            level += test::LevelRecordBytes(x, y, 1 + (x + y) % 8);
        }
    }
    WriteWholeFile(f.level, level);
    ASSERT_EQ(cli::Lvl({"export", f.level, f.dir / "source.tmx"}).exitStatus, 0);
    const std::string parts = f.dir / "parts";
    const auto state = [&] {  // each file's digest: its bytes are too many to show
        std::map<std::string, std::size_t> files;
        for (const auto& entry : fs::recursive_directory_iterator(f.dir.Path())) {
            files[entry.path().string()] = std::hash<std::string>()(
                entry.is_regular_file() ? ReadWholeFile(entry.path().string()) : "");
        }
        return files;
    };
    const auto reset = [&] {
        fs::remove_all(parts);
        fs::create_directory(parts);
        for (const std::string& output : {parts + "/tileset.bmp", f.dir / "big.tmx",
                                          f.dir / "big-tileset.bmp", f.dir / "back.lvl"}) {
            WriteWholeFile(output, kEarlier);
        }
    };
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"split", f.level, parts},
          {"export", f.level, f.dir / "big.tmx"},
          {"import", f.dir / "source.tmx", f.dir / "back.lvl"}}) {
        reset();
        const auto earlier = state();
        ASSERT_EQ(test::RunProcess(QUORBEL_LVL, args).exitStatus, 0) << args[0];
        const auto complete = state();
        for (const int signal : {SIGTERM, SIGKILL}) {
            for (long delay = 0; delay <= 60000; delay += 6000) {
                SCOPED_TRACE(args[0] + ", signal " + std::to_string(signal) + " after " +
                             std::to_string(delay) + " us");
                reset();
                test::ProcessOptions options;
                options.signal = signal;
                options.signalAfterMicroseconds = delay;
                const auto result = test::RunProcess(QUORBEL_LVL, args, options);
                const auto left = state();
                for (const auto& entry : left) {
                    // kill -9 in the final pass, between a file's naming and its rename, leaves
                    // that complete file under its hidden temporary name: a moment's window.
                    const std::string name = fs::path(entry.first).filename().string();
                    const bool temporary = name.starts_with('.') && name.ends_with(".part");
                    EXPECT_TRUE(Holds(complete, entry) || Holds(earlier, entry) ||
                                (signal == SIGKILL && temporary))
                        << entry.first << " was left";
                }
                if (signal == SIGTERM) {
                    EXPECT_TRUE(result.signal == SIGTERM || result.exitStatus == 0) << result.err;
                    EXPECT_TRUE(left == (result.exitStatus == 0 ? complete : earlier));
                }
            }
        }
    }
}

}  // namespace
}  // namespace quorbel

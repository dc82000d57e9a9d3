// Bad input, row by row, through every way into a conversion: the core driven by an in-memory
// front end, and the quorbel-lvl convert command and compose of one layer, run in this process.
// Each row states the outcome; every row also requires that nothing in the scratch folder but the
// output path changed, that the output path changed only for a converted run, and that no
// temporary file was left. A converted level is checked against the plain model of the formats.
// Rows whose files claim sizes also run quorbel-lvl as a child, whose peak memory is its own. The
// statuses, messages and report of each failure are tested in
// tests/conversion/conversion_run_test.cpp.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include "conversion/conversion_run.h"
#include "in_process.h"
#include "support/bmp_builder.h"
#include "support/level_model.h"
#include "support/recording_front_end.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using test::Le32;
using test::ReadWholeFile;
using test::WriteWholeFile;

// How a run ended; Abnormal (a crash, a signal, an unknown exit status, too much memory) is never
// what a row expects.
enum class Expect { Converted, Rejected, Failed, Abnormal };

// The inputs of one run; rows change them.
struct Inputs {
    const test::ScratchDir& dir;
    std::string tileText = "171";
    std::string tileset = dir / "tileset.lvl";
    std::string bitmap = dir / "map.bmp";
    std::string output = dir / "out.lvl";
    std::string writtenAt = {};  // where a converted level lands, when not at output (a link's end)
    int tileNumber = 171;        // the number the records carry when the run converts
    bool unprivileged = false;   // run as a user without root's override of permission bits
};

struct Row {
    std::string name;
    std::function<void(Inputs&)> arrange;
    Expect outcome;
};

// A named group of rows; the generated families (every cut, every offset) are one group each.
struct Group {
    std::string name;
    std::vector<Row> rows;
};

void PrintTo(const Group& group, std::ostream* out) {
    *out << group.name;
}

Group One(std::string name, std::function<void(Inputs&)> arrange, Expect outcome) {
    return Group{name, {Row{name, std::move(arrange), outcome}}};
}

// A 4 x 3 picture with dark pixels on a checker, 74 bytes: header 0..29, rest of the info header
// 30..53, palette 54..61, rows 62..65, 66..69, 70..73.
std::string Picture() {
    return BmpBuilder(4, 3).Pixels([](int x, int y) { return (x + y) % 2; }).Bytes();
}

// Every file and folder under the scratch folder: type, permission bits, and content or target.
std::map<std::string, std::string> Snapshot(const test::ScratchDir& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
        const auto status = entry.symlink_status();
        std::string what = std::to_string(static_cast<int>(status.type())) + " " +
                           std::to_string(static_cast<int>(status.permissions())) + " ";
        if (fs::is_symlink(status)) {
            what += fs::read_symlink(entry.path()).string();
        } else if (fs::is_regular_file(status)) {
            what += ReadWholeFile(entry.path().string());
        }
        entries[entry.path().lexically_relative(dir.Path()).string()] = what;
    }
    return entries;
}

Expect FromOutcome(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Converted:
            return Expect::Converted;
        case RunOutcome::Rejected:
            return Expect::Rejected;
        case RunOutcome::Failed:
            return Expect::Failed;
        case RunOutcome::Interrupted:
            break;
    }
    return Expect::Abnormal;  // nothing asks these runs to stop
}

Expect RunCore(const Inputs& in) {
    test::RecordingFrontEnd window;
    window.fields = {{Field::txtTileNum, in.tileText},
                     {Field::txtTile, in.tileset},
                     {Field::txtPic, in.bitmap},
                     {Field::txtOut, in.output}};
    return FromOutcome(RunConversion(window).outcome);
}

Expect FromExitStatus(const test::CommandResult& result) {
    EXPECT_TRUE(result.exitStatus == 0 || result.exitStatus == 1 || result.exitStatus == 2)
        << "exit " << result.exitStatus << "\n"
        << result.err;
    return result.exitStatus == 0   ? Expect::Converted
           : result.exitStatus == 2 ? Expect::Rejected
           : result.exitStatus == 1 ? Expect::Failed
                                    : Expect::Abnormal;
}

using Runner = std::function<Expect(const Inputs&)>;
using Command = std::vector<std::string> (*)(const Inputs&);

std::vector<std::string> Convert(const Inputs& in) {
    return {"convert", "--tile", in.tileText, in.tileset, in.bitmap, in.output};
}

// One layer: it is taken, rejected and failed exactly as convert takes, rejects and fails it.
std::vector<std::string> Compose(const Inputs& in) {
    return {"compose", in.tileset, in.output, in.tileText + ":" + in.bitmap};
}

Runner InProcess(Command command) {
    return [command](const Inputs& in) { return FromExitStatus(cli::Lvl(command(in))); };
}

// quorbel-lvl as a child, for its peak memory: nothing a file claims about its size makes the tool
// take memory for it, and a whole run stays far below this, also under AddressSanitizer.
Runner InAChild(Command command) {
    return [command](const Inputs& in) {
        const test::ProcessResult result = test::RunProcess(QUORBEL_LVL, command(in));
        EXPECT_EQ(result.signal, 0) << result.err;
        EXPECT_LT(result.peakMemoryKiB, 256 * 1024) << "KiB at the peak";
        return FromExitStatus(result);
    };
}

// Root may write anywhere whatever the permission bits say; a row about them runs in a child
// that has become "nobody" first. Other users run it as they are.
Expect Unprivileged(const Inputs& in, const Runner& run) {
    if (::geteuid() != 0) {
        return run(in);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const uid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) {
            ::_exit(99);
        }
        ::_exit(static_cast<int>(run(in)));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > static_cast<int>(Expect::Abnormal)) {
        return Expect::Abnormal;
    }
    return static_cast<Expect>(WEXITSTATUS(status));
}

const char* Name(Expect outcome) {
    switch (outcome) {
        case Expect::Converted:
            return "converted";
        case Expect::Rejected:
            return "rejected";
        case Expect::Failed:
            return "failed";
        case Expect::Abnormal:
            break;
    }
    return "ended abnormally";
}

class BadInputMatrix : public ::testing::TestWithParam<Group> {
  protected:
    void Check(const Row& row, const char* frontEndName, const Runner& run) {
        SCOPED_TRACE(row.name + " through " + frontEndName);
        test::ScratchDir dir(test::SharedTemporaryFolder());
        Inputs in{dir};
        WriteWholeFile(in.tileset, BmpBuilder(16, 16).Bytes() + "bytes past the tileset's bitmap");
        WriteWholeFile(in.bitmap, Picture());
        WriteWholeFile(in.output, "the user's earlier level");
        row.arrange(in);
        const auto before = Snapshot(dir);
        const std::string pictureBytes =
            fs::is_regular_file(in.bitmap) ? ReadWholeFile(in.bitmap) : "";

        const Expect outcome = in.unprivileged ? Unprivileged(in, run) : run(in);
        EXPECT_EQ(Name(outcome), std::string(Name(row.outcome)));

        auto after = Snapshot(dir);
        if (outcome == Expect::Converted) {
            const std::string written = in.writtenAt.empty() ? in.output : in.writtenAt;
            const std::string level = ReadWholeFile(written);
            const std::string tileset = ReadWholeFile(in.tileset);
            const auto size = static_cast<std::size_t>(test::model::LittleEndian(tileset, 2, 4));
            EXPECT_EQ(level.substr(0, size), tileset.substr(0, size));
            EXPECT_EQ(test::model::RecordsOf(level, size),
                      test::model::TilesOf(pictureBytes, in.tileNumber));
            const std::string key = fs::path(written).lexically_relative(dir.Path()).string();
            ASSERT_TRUE(after.count(key) != 0);
            if (before.count(key) != 0) {
                after[key] = before.at(key);
            } else {
                after.erase(key);
            }
        }
        EXPECT_EQ(after, before) << "files other than a converted output changed or appeared";
    }
};

TEST_P(BadInputMatrix, OutcomeAndNothingButTheOutputChanged) {
    for (const Row& row : GetParam().rows) {
        Check(row, "the core", RunCore);
        Check(row, "quorbel-lvl convert", InProcess(Convert));
        Check(row, "quorbel-lvl compose", InProcess(Compose));
    }
}

// Lets "nobody" into the scratch folder: it may search it and read the inputs there.
void OpenToOthers(const Inputs& in) {
    fs::permissions(in.dir.Path(), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
}

// The picture's file with its bytes from offset on replaced.
std::function<void(Inputs&)> PictureWith(std::size_t offset, std::string bytes) {
    return [offset, bytes](Inputs& in) {
        std::string picture = Picture();
        picture.replace(offset, bytes.size(), bytes);
        WriteWholeFile(in.bitmap, picture);
    };
}

std::function<void(Inputs&)> Bitmap(BmpBuilder builder) {
    return [builder](Inputs& in) { builder.WriteTo(in.bitmap); };
}

std::function<void(Inputs&)> TileText(std::string text, int number = 171) {
    return [text, number](Inputs& in) {
        in.tileText = text;
        in.tileNumber = number;
    };
}

// Paths and the file system.
const Group kPathRows[] = {
    One(
        "MissingTileset", [](Inputs& in) { in.tileset = in.dir / "none.lvl"; }, Expect::Failed),
    One(
        "MissingBitmap", [](Inputs& in) { in.bitmap = in.dir / "none.bmp"; }, Expect::Failed),
    One(
        "MissingOutputFolder", [](Inputs& in) { in.output = in.dir / "none/out.lvl"; },
        Expect::Failed),
    One(
        "TilesetIsAFolder", [](Inputs& in) { in.tileset = in.dir.Path().string(); },
        Expect::Failed),
    One(
        "BitmapIsAFolder", [](Inputs& in) { in.bitmap = in.dir.Path().string(); }, Expect::Failed),
    One(
        "OutputIsAFolder",
        [](Inputs& in) {
            fs::create_directory(in.dir / "folder");
            in.output = in.dir / "folder";
        },
        Expect::Failed),
    One(
        "EmptyTilesetPath", [](Inputs& in) { in.tileset = ""; }, Expect::Failed),
    One(
        "EmptyBitmapPath", [](Inputs& in) { in.bitmap = ""; }, Expect::Failed),
    One(
        "EmptyOutputPath", [](Inputs& in) { in.output = ""; }, Expect::Failed),
    One(
        "PathsWithSpacesAndNonAscii",
        [](Inputs& in) {
            for (auto [path, name] : {std::pair{&in.tileset, "tile set ü.lvl"},
                                      std::pair{&in.bitmap, "Karte 地図 ñ.bmp"},
                                      std::pair{&in.output, "out put é.lvl"}}) {
                fs::rename(*path, in.dir / name);
                *path = in.dir / name;
            }
        },
        Expect::Converted),
    One(
        "OutputIsTheTileset", [](Inputs& in) { in.output = in.tileset; }, Expect::Failed),
    One(
        "OutputIsTheBitmap", [](Inputs& in) { in.output = in.bitmap; }, Expect::Failed),
    One(
        "OutputIsASymlinkToTheTileset",
        [](Inputs& in) {
            fs::create_symlink(in.tileset, in.dir / "link.lvl");
            in.output = in.dir / "link.lvl";
        },
        Expect::Failed),
    One(
        "OutputIsASymlinkToTheBitmap",
        [](Inputs& in) {
            fs::create_symlink("map.bmp", in.dir / "link.lvl");  // relative
            in.output = in.dir / "link.lvl";
        },
        Expect::Failed),
    One(
        "OutputIsAHardLinkToTheTileset",
        [](Inputs& in) {
            fs::create_hard_link(in.tileset, in.dir / "link.lvl");
            in.output = in.dir / "link.lvl";
        },
        Expect::Failed),
    One(
        "OutputIsReadOnly",
        [](Inputs& in) {
            fs::permissions(in.output, fs::perms::owner_read | fs::perms::group_read);
        },
        Expect::Failed),
    One(
        "OutputFolderWithoutWritePermission",
        [](Inputs& in) {
            fs::create_directory(in.dir / "locked");
            WriteWholeFile(in.dir / "locked/out.lvl", "the user's earlier level");
            in.output = in.dir / "locked/out.lvl";
            fs::permissions(in.dir / "locked", fs::perms::all & ~fs::perms::owner_write &
                                                   ~fs::perms::group_write &
                                                   ~fs::perms::others_write);
            OpenToOthers(in);
            in.unprivileged = true;
        },
        Expect::Failed),
    // The same user converts when the folder lets it write: the row above fails for the folder.
    One(
        "OutputFolderWithWritePermission",
        [](Inputs& in) {
            fs::create_directory(in.dir / "open");
            WriteWholeFile(in.dir / "open/out.lvl", "the user's earlier level");
            in.output = in.dir / "open/out.lvl";
            fs::permissions(in.dir / "open", fs::perms::all);
            fs::permissions(in.output, fs::perms::all);
            OpenToOthers(in);
            in.unprivileged = true;
        },
        Expect::Converted),
    One(
        "OutputIsASymlinkLoop",
        [](Inputs& in) {
            fs::create_symlink("loop.lvl", in.dir / "loop.lvl");
            in.output = in.dir / "loop.lvl";
        },
        Expect::Failed),
    // Nothing is at the link's end: the new level is made there, and the link stays.
    One(
        "OutputIsADanglingSymlink",
        [](Inputs& in) {
            fs::create_symlink("nowhere.lvl", in.dir / "dangling.lvl");
            in.output = in.dir / "dangling.lvl";
            in.writtenAt = in.dir / "nowhere.lvl";
        },
        Expect::Converted),
    One(
        "OutputNameTooLong", [](Inputs& in) { in.output = in.dir / std::string(300, 'o'); },
        Expect::Failed),
    One(
        "TilesetAndBitmapAreOneFile", [](Inputs& in) { in.tileset = in.bitmap; },
        Expect::Converted),
    One(
        "OutputIsAFifo",
        [](Inputs& in) {
            fs::remove(in.output);
            ASSERT_EQ(::mkfifo(in.output.c_str(), 0644), 0);
        },
        Expect::Failed),
    One(
        "TilesetIsAFifo",
        [](Inputs& in) {
            in.tileset = in.dir / "fifo";
            ASSERT_EQ(::mkfifo(in.tileset.c_str(), 0644), 0);
        },
        Expect::Failed),
    One(
        "BitmapIsAFifo",
        [](Inputs& in) {
            in.bitmap = in.dir / "fifo";
            ASSERT_EQ(::mkfifo(in.bitmap.c_str(), 0644), 0);
        },
        Expect::Failed),
    One(
        "TilesetIsDevZero", [](Inputs& in) { in.tileset = "/dev/zero"; }, Expect::Failed),
    One(
        "BitmapIsDevZero", [](Inputs& in) { in.bitmap = "/dev/zero"; }, Expect::Failed),
};

INSTANTIATE_TEST_SUITE_P(Paths, BadInputMatrix, ::testing::ValuesIn(kPathRows),
                         [](const auto& test) { return test.param.name; });

// A cut at every byte of the picture: in its header, the rest of its info header, its palette,
// and in each of its three rows.
Group EveryCut() {
    Group group{"BitmapCutAtEveryByte", {}};
    for (std::size_t length = 0; length < Picture().size(); ++length) {
        group.rows.push_back(
            Row{"cut to " + std::to_string(length) + " bytes",
                [length](Inputs& in) { WriteWholeFile(in.bitmap, Picture().substr(0, length)); },
                Expect::Failed});
    }
    return group;
}

// The data offset's low byte places the palette (8 bytes before it) and must make 62 in all:
// below 8 the palette would start before the file, past 74 it runs beyond the file's end.
Group EveryDataOffsetLowByte() {
    Group group{"DataOffsetLowByte0To255", {}};
    const std::size_t size = Picture().size();
    for (unsigned low = 0; low <= 255; ++low) {
        const Expect outcome = low < 8 || low > size ? Expect::Failed
                               : low == 62           ? Expect::Converted
                                                     : Expect::Rejected;
        group.rows.push_back(Row{"low byte " + std::to_string(low),
                                 PictureWith(10, std::string(1, static_cast<char>(low))), outcome});
    }
    return group;
}

// The tileset's size field says how much of it to copy; the file must hold that much.
const Group kTilesetRows[] = {
    One(
        "TilesetSizeField2To31Minus1InATinyFile",
        [](Inputs& in) { WriteWholeFile(in.tileset, "BM" + Le32(0x7FFFFFFF) + "tiny"); },
        Expect::Failed),
    One(
        "TilesetSizeField2To31",
        [](Inputs& in) { WriteWholeFile(in.tileset, "BM" + Le32(1u << 31)); }, Expect::Failed),
    One(
        "TilesetShorterThanItsSizeFieldByOne",
        [](Inputs& in) { WriteWholeFile(in.tileset, "BM" + Le32(11) + "abcd"); }, Expect::Failed),
    One(
        "TilesetExactlyItsSizeField",
        [](Inputs& in) { WriteWholeFile(in.tileset, "BM" + Le32(10) + "abcd"); },
        Expect::Converted),
    One(
        "TilesetOfFiveBytes", [](Inputs& in) { WriteWholeFile(in.tileset, "BM123"); },
        Expect::Failed),
};

INSTANTIATE_TEST_SUITE_P(Tilesets, BadInputMatrix, ::testing::ValuesIn(kTilesetRows),
                         [](const auto& test) { return test.param.name; });

const Group kBitmapRows[] = {
    EveryCut(),
    EveryDataOffsetLowByte(),
    One("DataOffset318", PictureWith(10, Le32(318)), Expect::Rejected),
    One("TopDownOneRow", Bitmap(BmpBuilder(4, -1)), Expect::Failed),
    One("TopDownThreeRows", Bitmap(BmpBuilder(4, -3)), Expect::Failed),
    One("TopDown1024Rows", Bitmap(BmpBuilder(4, -1024)), Expect::Failed),
    One("TwentyFourBitAsWritten", Bitmap(BmpBuilder(4, 3).BitsPerPixel(24).DataOffset(54)),
        Expect::Rejected),
    One("TwentyFourBitAtOffset62", Bitmap(BmpBuilder(4, 3).BitsPerPixel(24)), Expect::Rejected),
    One("EightBitAsWritten", Bitmap(BmpBuilder(4, 3).BitsPerPixel(8).DataOffset(1078)),
        Expect::Rejected),
    One("EightBitAtOffset62", Bitmap(BmpBuilder(4, 3).BitsPerPixel(8)), Expect::Rejected),
    One("BitCountTopBitSet", PictureWith(28, std::string("\x01\x80", 2)), Expect::Rejected),
};

INSTANTIATE_TEST_SUITE_P(Bitmaps, BadInputMatrix, ::testing::ValuesIn(kBitmapRows),
                         [](const auto& test) { return test.param.name; });

// Widths and heights on both sides of each limit: 1024 (validation), 262112 (a row's byte count
// must fit 16 bits), 32767 (the row count must fit 16 bits) and 2^31 (the field must decode).
Group Sizes() {
    struct Size {
        std::int64_t width, height;
        Expect outcome;
    } const sizes[] = {
        {0, 3, Expect::Converted},       {1, 3, Expect::Converted},
        {31, 3, Expect::Converted},      {32, 3, Expect::Converted},
        {33, 3, Expect::Converted},      {1023, 3, Expect::Converted},
        {1024, 3, Expect::Converted},    {1025, 3, Expect::Rejected},
        {262112, 1, Expect::Rejected},   {262113, 1, Expect::Failed},
        {2147483647, 1, Expect::Failed}, {2147483648, 1, Expect::Failed},
        {4, 0, Expect::Converted},       {4, 1, Expect::Converted},
        {4, 1024, Expect::Converted},    {4, 1025, Expect::Rejected},
        {4, 32767, Expect::Rejected},    {4, 32768, Expect::Failed},
        {4, 2147483647, Expect::Failed}, {4, 2147483648, Expect::Failed},
        {1024, 1024, Expect::Converted}, {1025, 1025, Expect::Rejected},
    };
    Group group{"WidthsAndHeightsAtEachLimit", {}};
    for (const Size& size : sizes) {
        // Too large to convert: only the header is needed to decide.
        const bool stored = size.outcome == Expect::Converted;
        BmpBuilder builder = BmpBuilder(size.width, size.height)
                                 .Pixels([](int x, int y) { return (x * 7 + y) % 3 == 0; })
                                 .StoredRows(stored ? -1 : 0);
        group.rows.push_back(Row{std::to_string(size.width) + " x " + std::to_string(size.height),
                                 Bitmap(builder), size.outcome});
    }
    return group;
}

INSTANTIATE_TEST_SUITE_P(Sizes, BadInputMatrix, ::testing::Values(Sizes()),
                         [](const auto& test) { return test.param.name; });

// The picture has dark pixels, so a number that is no byte fails at the first of them.
const Group kTileTextRows[] = {
    One("Empty", TileText(""), Expect::Failed),
    One("Blank", TileText(" \t "), Expect::Failed),
    One("HugeNumber", TileText(std::string(100000, '9')), Expect::Failed),
    One("HugeTextOfLeadingZeros", TileText(std::string(100000, '0') + "7", 7), Expect::Converted),
    One("HugeFraction", TileText("12." + std::string(100000, '4'), 12), Expect::Converted),
    One("FractionHalfToEven", TileText("2.5", 2), Expect::Converted),
    One("FractionHalfToEvenUp", TileText("3.5", 4), Expect::Converted),
    One("FractionRoundsUpToAByte", TileText("254.6", 255), Expect::Converted),
    One("FractionRoundsUpPastAByte", TileText("255.5"), Expect::Failed),
    One("Negative", TileText("-1"), Expect::Failed),
    One("NegativeRoundingToZero", TileText("-0.4", 0), Expect::Converted),
    One("BelowSixteenBits", TileText("-32769"), Expect::Failed),
    One("AboveSixteenBits", TileText("32768"), Expect::Failed),
    One("FullWidthDigits", TileText("\xEF\xBC\x91\xEF\xBC\x97\xEF\xBC\x91"), Expect::Failed),
    One("NonAsciiAfterDigits", TileText("17\xC3\xBC"), Expect::Failed),
    One("Exponent", TileText("1e2"), Expect::Failed),
    One("Hexadecimal", TileText("0x10"), Expect::Failed),
};

INSTANTIATE_TEST_SUITE_P(TileTexts, BadInputMatrix, ::testing::ValuesIn(kTileTextRows),
                         [](const auto& test) { return test.param.name; });

// The rows whose files claim sizes (a tileset's size field, a bitmap's sides) once more, through
// quorbel-lvl as a child, whose peak memory is its own.
class ClaimedSizes : public BadInputMatrix {};

TEST_P(ClaimedSizes, TakeNoMemoryInAChild) {
    for (const Row& row : GetParam().rows) {
        Check(row, "quorbel-lvl convert in a child", InAChild(Convert));
        Check(row, "quorbel-lvl compose in a child", InAChild(Compose));
    }
}

INSTANTIATE_TEST_SUITE_P(Tilesets, ClaimedSizes, ::testing::ValuesIn(kTilesetRows),
                         [](const auto& test) { return test.param.name; });
INSTANTIATE_TEST_SUITE_P(Sizes, ClaimedSizes, ::testing::Values(Sizes()),
                         [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace quorbel

#include "render/prepare_command.h"

#include <ostream>

#include "base/errors.h"
#include "base/quoted.h"
#include "command/command_line.h"
#include "files/file_system.h"
#include "files/output_file.h"
#include "formats/picture_file.h"
#include "pictures/picture_decoder.h"
#include "render/dark_pixels.h"

namespace quorbel::render {
namespace {

using command::Completion;
using command::Items;
using command::Paragraph;
using command::ParsedArguments;
using command::UsageError;

// A whole decimal number from 0 to 256. Throws UsageError naming text.
int ThresholdFromText(const std::string& text) {
    int value = 0;
    const bool digits = !text.empty() && text.size() <= 3 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (digits) {
        value = std::stoi(text);
    }
    if (!digits || value > 256) {
        throw UsageError("--threshold " + Quoted(text) + ": give a whole number from 0 to 256");
    }
    return value;
}

void RefuseLargerThanAMap(const QSize& size, const std::string& path) {
    if (size.width() > kLargestMapSide || size.height() > kLargestMapSide) {
        throw FormatError(Quoted(path) + " is " + std::to_string(size.width()) + " x " +
                          std::to_string(size.height()) +
                          " pixels; a map bitmap has at most 1024 x 1024: scale the "
                          "picture down first (prepare does not scale)");
    }
}

// The picture in bytes, refused before it is decoded when its header says it is too large.
QImage MapPicture(const std::string& bytes, const std::string& path) {
    return pictures::PictureFromBytes(bytes, Quoted(path), pictures::kDrawingKinds,
                                      [&](const QSize& size) { RefuseLargerThanAMap(size, path); });
}

}  // namespace

command::Declaration PrepareCommand::Declare() const {
    return {
        .options = {{.name = "--threshold",
                     .valueName = "N",
                     .help = "grey values below N are dark, 0..256. Default: 128"},
                    {.name = "--invert",
                     .help = "swap dark and light: light (or transparent) pixels become tiles"},
                    {.name = "--grey",
                     .help = "judge every pixel by its grey value over white, also in a picture "
                             "with transparent pixels"}},
        .operands = {{"IMAGE", false,
                      Completion::Files(
                          {"bmp", "png", "gif", "jpg", "jpeg", "pbm", "pgm", "ppm", "pnm", "xpm"})},
                     {"OUTPUT", false, Completion::Files({"bmp"})}},
        .description =
            {Paragraph("Makes of the picture IMAGE the bitmap that quorbel-lvl convert and the "
                       "window take: OUTPUT becomes a BMP with a 40-byte header, 1 bit per pixel, "
                       "palette index 0 white and index 1 black, its pixels at byte 62. Every dark "
                       "pixel of IMAGE becomes black, and convert turns each black pixel into one "
                       "tile record."),
             Paragraph("IMAGE may be a BMP (any header version and bit depth, rows stored either "
                       "way), PNG, GIF, JPEG, PBM, PGM, PPM or XPM picture of at most 1024 x 1024 "
                       "pixels, told by its content; a larger one is refused, not scaled, and so "
                       "is any other kind (SVG among them: it may load other files). Which pixels "
                       "are dark:"),
             Items({{"transparent background",
                     "a picture with a transparent pixel (alpha below 128) is a drawing on a "
                     "transparent background: its opaque pixels (alpha 128 or more) are dark, "
                     "whatever their colour; --threshold does not apply to it"},
                    {"grey values",
                     "otherwise a pixel is dark when its grey value (0 black .. 255 white, after "
                     "laying it over white) is below N; a picture with a palette of exactly two "
                     "colours needs no threshold: its darker colour is dark, whichever comes "
                     "first in the palette"}}),
             Paragraph("A result with no dark pixel, or with every pixel dark, is still written, "
                       "and a warning on standard error says which rule decided and what to try. "
                       "A drawing in several colours, one kind of tile each, becomes a level with "
                       "quorbel-lvl paint.")},
        .output = {Paragraph("Standard output gets one line: \"wrote OUTPUT: W x H pixels, D "
                             "dark\". Warnings go to standard error.")},
        .exitStatus = {{"0", "written"},
                       {"1",
                        "IMAGE is no picture that can be read or larger than 1024 x 1024, or "
                        "OUTPUT cannot be written"},
                       {"64", "bad usage"}},
        .examples = {{"The map bitmap of a drawing, then a level of it:",
                      "quorbel-lvl prepare drawing.png map.bmp"},
                     {"Tiles where a scan is light, at a grey value of 100 or more:",
                      "quorbel-lvl prepare --invert --threshold 100 scan.png map.bmp"}},
    };
}

int PrepareCommand::Execute(const ParsedArguments& parsed, std::ostream& out, std::ostream& err) {
    DarkRule rule;
    if (const auto threshold = parsed.Value("--threshold")) {
        rule.darkBelow = ThresholdFromText(*threshold);
    }
    rule.invert = parsed.Has("--invert");
    rule.grey = parsed.Has("--grey");
    const std::string& imagePath = parsed.operands[0];
    const std::string& outputPath = parsed.operands[1];

    InputFile image(imagePath);
    const FileBeingRead reading[] = {{image.Identity(), "the picture"}};
    const DarkPixels dark(MapPicture(pictures::WholePictureFile(image), imagePath), rule);
    const std::string bmp = MonochromeBmpBytes(dark.Width(), dark.Height(),
                                               [&](int x, int y) { return dark.IsDark(x, y); });
    OutputFile output(outputPath, reading);
    output.Write(bmp);
    output.Commit();
    out << "wrote " << outputPath << ": " << dark.Width() << " x " << dark.Height() << " pixels, "
        << dark.Count() << " dark\n";
    if (dark.By() == DarkBy::Opacity && parsed.Value("--threshold")) {
        err << ProgramName() << ": warning: --threshold does not apply: " << Quoted(imagePath)
            << " has transparent pixels, so its opaque pixels are dark; --grey judges every pixel "
               "by its grey value over white\n";
    }
    if (const auto warning = DarkPixelsWarning(dark, rule)) {
        err << ProgramName() << ": warning: " << Quoted(imagePath) << ": " << *warning << '\n';
    }
    return command::kExitSuccess;
}

}  // namespace quorbel::render

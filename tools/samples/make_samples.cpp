// quorbel-make-samples OUTDIR: writes the bundled samples, sample-tileset.bmp, sample-map.bmp,
// sample-coins.bmp, sample-drawing.png, sample-palette.gpl and sample-rules.txt, into OUTDIR (made
// when missing). Runs at build time.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "samples/sample_pictures.h"

namespace {

bool Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    file.close();
    if (!file) {
        std::cerr << "quorbel-make-samples: cannot write " << path << '\n';
    }
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: quorbel-make-samples OUTDIR\n";
        return 64;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "quorbel-make-samples: cannot make " << folder << ": " << error.message()
                  << '\n';
        return 1;
    }
    const bool written = Write(folder / "sample-tileset.bmp", quorbel::samples::TilesetBmp()) &&
                         Write(folder / "sample-map.bmp", quorbel::samples::MapBmp()) &&
                         Write(folder / "sample-coins.bmp", quorbel::samples::CoinsBmp()) &&
                         Write(folder / "sample-drawing.png", quorbel::samples::DrawingPng()) &&
                         Write(folder / "sample-palette.gpl", quorbel::samples::PaletteGpl()) &&
                         Write(folder / "sample-rules.txt", quorbel::samples::RulesText());
    return written ? 0 : 1;
}

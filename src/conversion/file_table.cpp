#include "conversion/file_table.h"

#include "base/errors.h"

namespace quorbel {
namespace {

template <typename File>
File& Required(std::optional<File>& file, const char* what) {
    if (!file) {
        throw FileError(std::string(what) + " is not open");
    }
    return *file;
}

}  // namespace

InputFile& FileTable::OpenTileset(const std::string& path) {
    tileset_.reset();
    return tileset_.emplace(path);
}

InputFile& FileTable::OpenBitmap(const std::string& path) {
    bitmap_.reset();
    return bitmap_.emplace(path);
}

OutputFile& FileTable::CreateOutput(const std::string& path) {
    std::vector<FileBeingRead> reading;
    if (tileset_) {
        reading.push_back({tileset_->Identity(), "the tileset"});
    }
    if (bitmap_) {
        reading.push_back({bitmap_->Identity(), "the bitmap"});
    }
    output_.reset();
    return output_.emplace(path, reading);
}

InputFile& FileTable::Tileset() {
    return Required(tileset_, "the tileset (file 1)");
}

InputFile& FileTable::Bitmap() {
    return Required(bitmap_, "the bitmap (file 2)");
}

OutputFile& FileTable::Output() {
    return Required(output_, "the output (file 3)");
}

void FileTable::CloseAll() noexcept {
    CloseTileset();
    CloseBitmap();
    CloseOutput();
}

}  // namespace quorbel

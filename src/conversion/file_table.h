// The three files of a conversion run: the tileset and the monochrome bitmap, read, and the output
// level file, written through the output policy and put in place only when the run commits it.
// Closing a file that is not open does nothing; reaching one that is not open is a file error.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "files/output_file.h"

namespace quorbel {

class FileTable {
  public:
    // Opens the tileset (file 1) or the bitmap (file 2) on path, closing it first. Throws
    // FileError.
    InputFile& OpenTileset(const std::string& path);
    InputFile& OpenBitmap(const std::string& path);

    // Creates the output (file 3) that will replace path; the files open for reading may not be
    // replaced. Throws FileError.
    OutputFile& CreateOutput(const std::string& path);

    // The open files. Throw FileError for one that is not open.
    InputFile& Tileset();
    InputFile& Bitmap();
    OutputFile& Output();

    void CloseTileset() noexcept { tileset_.reset(); }
    void CloseBitmap() noexcept { bitmap_.reset(); }
    // An output that was not committed is removed with its content.
    void CloseOutput() noexcept { output_.reset(); }
    void CloseAll() noexcept;

  private:
    std::optional<InputFile> tileset_;
    std::optional<InputFile> bitmap_;
    std::optional<OutputFile> output_;
};

}  // namespace quorbel

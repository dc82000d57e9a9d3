// The three files of a conversion run, addressed by their fixed numbers: 1 the tileset, 2 the
// monochrome bitmap (both read), 3 the output level file (written, and put in place only when
// the run commits it). Closing a number that is not open does nothing.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "file_system.h"

namespace quorbel {

class FileTable {
  public:
    static constexpr int kTileset = 1;
    static constexpr int kBitmap = 2;
    static constexpr int kOutput = 3;

    // Opens number (1 or 2) on path for reading. Throws FileError.
    void OpenForReading(int number, const std::string& path);

    // Opens number 3 as a new file that will replace path. Throws FileError.
    void CreateForWriting(int number, const std::string& path);

    // The next count bytes of an input. Throws FileError (also for a number that is not open).
    std::string Read(int number, std::size_t count);

    // Moves the next count bytes of input from to output to. Throws FileError.
    void Copy(int from, int to, std::size_t count);

    // Appends bytes to the output. Throws FileError.
    void Write(int number, std::string_view bytes);

    // Puts the output in place of its path and closes it. Throws FileError.
    void Commit(int number);

    // Closes number; an output that was not committed is removed with its content.
    void Close(int number) noexcept;
    void CloseAll() noexcept;

    // True when number 1 or 2 is open on the file that identity names.
    bool HoldsOpen(const FileIdentity& identity) const;

  private:
    InputFile& Input(int number);
    OutputFile& Output(int number);

    std::unique_ptr<InputFile> inputs_[2];
    std::unique_ptr<OutputFile> output_;
};

}  // namespace quorbel

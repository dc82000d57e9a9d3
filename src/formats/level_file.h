// Reading a level file: a prefix of N bytes, N being the little-endian 32-bit number at bytes
// 2..5 (the tileset picture's BMP size field), followed by 4-byte tile records (level_record.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "files/file_system.h"
#include "formats/bmp_header.h"
#include "formats/level_record.h"

namespace quorbel {

// What the BMP header at the start of a prefix says about its picture.
using PrefixPicture = BmpPicture;

// One level file open for reading. Memory stays bounded whatever the file's size: the prefix is
// skipped and the records are read in pieces.
class LevelFileReader {
  public:
    // Opens path and reads its prefix size. Throws FileError when the file cannot be read, holds
    // fewer than 6 bytes, or says its prefix is longer than the file.
    explicit LevelFileReader(const std::string& path);

    std::uint32_t PrefixSize() const { return prefixSize_; }
    std::uint64_t FileSize() const { return fileSize_; }
    // Whole records after the prefix.
    std::uint64_t RecordCount() const { return (fileSize_ - prefixSize_) / kLevelRecordSize; }
    // Bytes after the last whole record (0..3).
    std::uint64_t TrailingBytes() const { return (fileSize_ - prefixSize_) % kLevelRecordSize; }
    const std::optional<PrefixPicture>& Picture() const { return picture_; }

    // The whole prefix. Throws FileError when it is longer than maxBytes, or for a failed read.
    // Call it before ForEachRecord, at most once.
    std::string ReadPrefix(std::size_t maxBytes);

    // Calls visit for every whole record in file order. Throws FileError when a read fails (the
    // file shrank, say); call it at most once.
    void ForEachRecord(const std::function<void(const LevelRecord&)>& visit);

  private:
    InputFile file_;
    std::uint64_t fileSize_ = 0;
    std::uint32_t prefixSize_ = 0;
    std::uint64_t prefixRead_ = 0;  // prefix bytes already taken from the file
    std::string leadingBytes_;      // the file's first bytes, up to kBmpLeadingBytes
    std::optional<PrefixPicture> picture_;
};

}  // namespace quorbel

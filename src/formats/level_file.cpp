#include "formats/level_file.h"

#include <algorithm>

#include "base/errors.h"
#include "base/quoted.h"

namespace quorbel {
namespace {

constexpr std::size_t kRecordPiece = std::size_t{256} << 10;

}  // namespace

LevelFileReader::LevelFileReader(const std::string& path) : file_(path) {
    fileSize_ = file_.Size();
    if (fileSize_ < kShortestPrefix) {
        throw FileError(Quoted(path) + " is no level file: it has " + std::to_string(fileSize_) +
                        " bytes, too few to hold the prefix size at bytes 2..5");
    }
    leadingBytes_ = file_.Read(std::min<std::uint64_t>(fileSize_, kBmpLeadingBytes));
    prefixRead_ = leadingBytes_.size();
    prefixSize_ = *BmpHeader(leadingBytes_).SizeField();
    if (prefixSize_ > fileSize_) {
        throw FileError(Quoted(path) + " is no level file: its size field says the prefix has " +
                        std::to_string(prefixSize_) + " bytes, but the file has only " +
                        std::to_string(fileSize_));
    }
    // Only the prefix's own bytes describe its picture.
    picture_ = BmpHeader(std::string_view(leadingBytes_).substr(0, prefixSize_)).Picture();
}

std::string LevelFileReader::ReadPrefix(std::size_t maxBytes) {
    if (prefixSize_ > maxBytes) {
        throw FileError("the prefix of " + Quoted(file_.Path()) + " has " +
                        std::to_string(prefixSize_) + " bytes, more than the " +
                        std::to_string(maxBytes) + " that are read as a picture");
    }
    std::string prefix = leadingBytes_.substr(0, prefixSize_);
    if (prefixRead_ < prefixSize_) {
        prefix += file_.Read(prefixSize_ - prefixRead_);
        prefixRead_ = prefixSize_;
    }
    return prefix;
}

void LevelFileReader::ForEachRecord(const std::function<void(const LevelRecord&)>& visit) {
    std::uint64_t remaining = RecordCount() * kLevelRecordSize;
    std::string pending;  // read, not yet decoded
    if (prefixRead_ < prefixSize_) {
        file_.Skip(prefixSize_ - prefixRead_);
        prefixRead_ = prefixSize_;
    } else if (prefixRead_ > prefixSize_) {
        // A prefix shorter than the leading bytes: the first records were read with them.
        pending = leadingBytes_.substr(prefixSize_, remaining);
    }
    while (remaining > 0) {
        if (pending.size() < kLevelRecordSize) {
            pending +=
                file_.Read(std::min<std::uint64_t>(remaining - pending.size(), kRecordPiece));
        }
        const std::size_t whole = pending.size() - pending.size() % kLevelRecordSize;
        const std::string_view bytes(pending);
        for (std::size_t at = 0; at < whole; at += kLevelRecordSize) {
            visit(DecodeLevelRecord(bytes.substr(at)));
        }
        pending.erase(0, whole);
        remaining -= whole;
    }
}

}  // namespace quorbel

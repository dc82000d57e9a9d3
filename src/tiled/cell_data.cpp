#include "tiled/cell_data.h"

#include <zlib.h>

#include <array>
#include <memory>
#include <vector>

#include "base/quoted.h"

namespace quorbel::tiled {
namespace {

constexpr std::size_t kBatch = 1 << 16;
constexpr std::size_t kInflatePiece = std::size_t{1} << 18;

bool IsBlank(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Gathers gids into batches and checks their number against the block's size before any of
// them is handed on.
class GidStream {
  public:
    GidStream(std::uint64_t expected, std::string_view where, const GidBatch& visit)
        : expected_(expected), where_(where), visit_(visit), buffer_(kBatch) {}

    void Add(std::uint32_t gid) {
        if (size_ == kBatch) {
            Flush();
        }
        buffer_[size_++] = gid;
    }

    // Little-endian gids, 4 bytes each; a word may continue in the next call.
    void AddBytes(std::string_view bytes) {
        while (carried_ == 0 && bytes.size() >= 4) {
            Add(static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[0])) |
                static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[1])) << 8 |
                static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2])) << 16 |
                static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[3])) << 24);
            bytes.remove_prefix(4);
        }
        for (const char c : bytes) {
            word_ |= std::uint32_t{static_cast<unsigned char>(c)} << (8 * carried_);
            if (++carried_ == 4) {
                Add(word_);
                word_ = 0;
                carried_ = 0;
            }
        }
    }

    void Finish() {
        if (carried_ != 0) {
            throw MapError(std::string(where_) + ": its data ends in the middle of a 4-byte gid");
        }
        Flush();
        if (handed_ != expected_) {
            throw MapError(std::string(where_) + " holds " + std::to_string(handed_) +
                           " cells, but its width x height is " + std::to_string(expected_));
        }
    }

  private:
    void Flush() {
        if (handed_ + size_ > expected_) {
            throw MapError(std::string(where_) + " holds more cells than its width x height, " +
                           std::to_string(expected_));
        }
        if (size_ != 0) {
            visit_(std::span<const std::uint32_t>(buffer_.data(), size_));
        }
        handed_ += size_;
        size_ = 0;
    }

    std::uint64_t expected_;
    std::string_view where_;
    const GidBatch& visit_;
    std::vector<std::uint32_t> buffer_;
    std::size_t size_ = 0;
    std::uint64_t handed_ = 0;
    std::uint32_t word_ = 0;
    int carried_ = 0;
};

void DecodeCsv(std::string_view text, std::string_view where, GidStream& gids) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const auto skipBlanks = [&] {
        while (p != end && IsBlank(*p)) {
            ++p;
        }
    };
    const auto fail = [&](const char* what) {
        throw MapError(std::string(where) + ": its CSV data " + what + " at " +
                       LineAndColumn(text, static_cast<std::size_t>(p - text.data())) +
                       " of the data");
    };
    skipBlanks();
    if (p == end) {
        return;
    }
    while (true) {
        skipBlanks();
        if (p == end || *p < '0' || *p > '9') {
            fail("has no number");
        }
        std::uint64_t gid = 0;
        while (p != end && *p >= '0' && *p <= '9') {
            gid = gid * 10 + static_cast<std::uint64_t>(*p - '0');
            if (gid > 0xFFFFFFFFu) {
                fail("has a number larger than a gid can be");
            }
            ++p;
        }
        gids.Add(static_cast<std::uint32_t>(gid));
        skipBlanks();
        if (p == end) {
            return;
        }
        if (*p != ',') {
            fail("has something other than a comma");
        }
        ++p;
    }
}

constexpr std::array<signed char, 256> Base64Values() {
    std::array<signed char, 256> values{};
    values.fill(-1);
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        values[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
    }
    return values;
}

std::string DecodeBase64(std::string_view text, std::string_view where) {
    static constexpr auto kValues = Base64Values();
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3 + 3);
    std::uint32_t bits = 0;
    int bitCount = 0;
    std::size_t padding = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsBlank(c)) {
            continue;
        }
        const signed char value = kValues[static_cast<unsigned char>(c)];
        if (c == '=') {
            ++padding;
            continue;
        }
        if (value < 0 || padding != 0) {
            throw MapError(std::string(where) + ": its base64 data holds " +
                           Quoted(text.substr(i, 1)) + " at " + LineAndColumn(text, i) +
                           " of the data");
        }
        bits = ((bits << 6) | static_cast<std::uint32_t>(value)) & 0xFFFFFF;
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes += static_cast<char>((bits >> bitCount) & 0xFF);
        }
    }
    return bytes;
}

// Inflates zlib (or gzip) data piece by piece into gids.
void Inflate(std::string_view compressed, bool gzip, std::string_view where, GidStream& gids) {
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 16 + MAX_WBITS : MAX_WBITS) != Z_OK) {
        throw OutOfMemoryError(std::string(where) + ": out of memory to inflate its data");
    }
    const std::unique_ptr<z_stream, int (*)(z_stream*)> end(&stream, inflateEnd);
    const char* const kind = gzip ? "gzip" : "zlib";
    if (compressed.size() > 0xFFFFFFFFu) {
        throw MapError(std::string(where) + ": its " + kind + " data is too large");
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::string piece(kInflatePiece, '\0');
    while (true) {
        stream.next_out = reinterpret_cast<Bytef*>(piece.data());
        stream.avail_out = static_cast<uInt>(piece.size());
        const int status = inflate(&stream, Z_NO_FLUSH);
        gids.AddBytes(std::string_view(piece.data(), piece.size() - stream.avail_out));
        if (status == Z_STREAM_END) {
            break;
        }
        if (status == Z_BUF_ERROR && stream.avail_in == 0) {
            throw MapError(std::string(where) + ": its " + kind + " data is cut short");
        }
        if (status != Z_OK) {
            throw MapError(
                std::string(where) + ": its " + kind + " data cannot be inflated (" +
                (stream.msg != nullptr ? stream.msg : "zlib error " + std::to_string(status)) +
                ")");
        }
    }
    if (stream.avail_in != 0) {
        throw MapError(std::string(where) + ": its " + kind + " data goes on after its end");
    }
}

}  // namespace

std::uint64_t CellCount(const CellBlock& block, std::string_view where) {
    if (block.width < 0 || block.height < 0) {
        throw MapError(std::string(where) + " has a width of " + std::to_string(block.width) +
                       " and a height of " + std::to_string(block.height) +
                       " cells; neither can be below 0: save the map again from Tiled");
    }
    if (block.width != 0 && block.height > kMostCellsPerBlock / block.width) {
        throw MapError(std::string(where) + " is " + std::to_string(block.width) + " x " +
                       std::to_string(block.height) + " cells; at most " +
                       std::to_string(kMostCellsPerBlock) + " cells are read from one layer");
    }
    return static_cast<std::uint64_t>(block.width * block.height);
}

void DecodeCells(const CellBlock& block, std::string_view where, const GidBatch& visit) {
    const std::uint64_t cells = CellCount(block, where);
    if (block.compression == CellCompression::Zstd) {
        throw MapError(std::string(where) +
                       " is compressed with Zstandard, which is not read here: in Tiled, choose "
                       "Map > Map Properties > Tile Layer Format \"CSV\" (or Base64 with zlib or "
                       "gzip), save the map and import it again");
    }
    if (block.compression != CellCompression::None && block.encoding != CellEncoding::Base64) {
        throw MapError(std::string(where) + ": only base64 data can be compressed");
    }
    GidStream gids(cells, where, visit);
    switch (block.encoding) {
        case CellEncoding::Csv:
            DecodeCsv(block.data, where, gids);
            break;
        case CellEncoding::Gids:
            gids.AddBytes(block.data);
            break;
        case CellEncoding::Base64: {
            const std::string bytes = DecodeBase64(block.data, where);
            if (block.compression == CellCompression::None) {
                gids.AddBytes(bytes);
            } else {
                Inflate(bytes, block.compression == CellCompression::Gzip, where, gids);
            }
            break;
        }
    }
    gids.Finish();
}

CellCompression CompressionNamed(std::string_view name, std::string_view where) {
    if (name.empty()) {
        return CellCompression::None;
    }
    if (name == "zlib") {
        return CellCompression::Zlib;
    }
    if (name == "gzip") {
        return CellCompression::Gzip;
    }
    if (name == "zstd") {
        return CellCompression::Zstd;
    }
    throw MapError(std::string(where) + " is compressed with " + Quoted(name) +
                   ", which is not read: Tiled writes zlib, gzip and zstd");
}

}  // namespace quorbel::tiled

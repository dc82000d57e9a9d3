// Fuzz target over the codec operations and the record encoding. The first byte picks the
// operation, the rest is its argument. Each result is compared with a plain model of what the
// operation promises; an exception other than the run-time errors it documents escapes and ends
// the fuzzer as a crash.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/errors.h"
#include "conversion/number_codec.h"
#include "conversion/tile_records.h"
#include "support/recording_front_end.h"

namespace {

using namespace quorbel;
using namespace quorbel::modModule;

[[noreturn]] void Broken(const char* promise, const std::string& detail = "") {
    std::fprintf(stderr, "broken promise: %s\n%s\n", promise, detail.c_str());
    std::abort();
}

// Reads little-endian integers off the front of the argument; missing bytes count as 0.
class Reader {
  public:
    explicit Reader(std::string bytes) : bytes_(std::move(bytes)) {}
    std::uint32_t Take(std::size_t count) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned byte = at_ < bytes_.size() ? static_cast<unsigned char>(bytes_[at_]) : 0;
            value |= static_cast<std::uint32_t>(byte) << (8 * i);
            ++at_;
        }
        return value;
    }
    std::string Rest() const { return at_ < bytes_.size() ? bytes_.substr(at_) : std::string(); }

  private:
    std::string bytes_;
    std::size_t at_ = 0;
};

template <typename Error, typename Operation>
bool Throws(Operation operation) {
    try {
        operation();
    } catch (const Error&) {
        return true;
    }
    return false;
}

void CheckByteToBits(Reader in) {
    const auto original = static_cast<std::int16_t>(in.Take(2));
    std::int16_t value = original;
    const std::string bits = ByteToBits(value);
    std::string expected;
    std::int16_t left = original;
    if (original < 0) {
        expected = "00000000";
    } else if (original > 255) {
        expected = "11111111";
        left = static_cast<std::int16_t>(original - 255);
    } else {
        for (int i = 7; i >= 0; --i) {
            expected += ((original >> i) & 1) != 0 ? '1' : '0';
        }
        left = 0;
    }
    if (bits != expected || value != left) {
        Broken("ByteToBits", std::to_string(original));
    }
}

void CheckReverseString(const std::string& text) {
    if (text.size() > 32766) {
        if (!Throws<OverflowError>([&] { ReverseString(text); })) {
            Broken("ReverseString refuses 32767 characters or more");
        }
        return;
    }
    const std::string reversed = ReverseString(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (reversed[i] != text[text.size() - 1 - i]) {
            Broken("ReverseString reverses");
        }
    }
}

void CheckBitsToNumber(const std::string& bits) {
    const std::size_t highest = bits.find('1');
    const bool tooLong = bits.size() > 32766;
    const bool tooLarge = highest != std::string::npos && bits.size() - highest > 31;
    if (tooLong || tooLarge) {
        if (!Throws<OverflowError>([&] { BitsToNumber(bits); })) {
            Broken("BitsToNumber overflows from 2^31 and for long texts");
        }
        return;
    }
    std::int64_t expected = 0;
    for (const char c : bits) {
        expected = 2 * expected + (c == '1' ? 1 : 0);
    }
    if (BitsToNumber(bits) != expected) {
        Broken("BitsToNumber reads a binary numeral", bits);
    }
}

void CheckBytesToNumber(const std::string& bytes) {
    bool fits = bytes.size() < 4096;
    std::uint64_t expected = 0;
    for (std::size_t i = 0; i < bytes.size() && fits; ++i) {
        const unsigned byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0) {
            continue;
        }
        if (i >= 4) {
            fits = false;
        } else {
            expected += static_cast<std::uint64_t>(byte) << (8 * i);
        }
    }
    if (!fits || expected >= (std::uint64_t{1} << 31)) {
        if (!Throws<OverflowError>([&] { BytesToNumber(bytes); })) {
            Broken("BytesToNumber overflows from 2^31 and for 4096 bytes or more");
        }
        return;
    }
    if (static_cast<std::uint64_t>(BytesToNumber(bytes)) != expected) {
        Broken("BytesToNumber decodes unsigned little-endian");
    }
}

void CheckRoundDown(const std::string& text) {
    std::int16_t result = 0;
    try {
        result = RoundDown(text);
    } catch (const TypeMismatchError&) {
        return;
    } catch (const OverflowError&) {
        return;
    }
    // What it accepted, the C library reads as the same number.
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size()) {
        Broken("RoundDown accepts only numbers", text);
    }
    bool half = false;
    for (const char* needle : {".9", ".8", ".7", ".6", ".5"}) {
        half = half || text.find(needle) != std::string::npos;
    }
    if (result != std::floor(half ? value - 0.5 : value)) {
        Broken("RoundDown takes the floor after the half rule", text);
    }
}

// The record bytes of (x, y) for x, y >= 0, or nothing when a byte leaves 0..255.
bool ModelRecord(std::int64_t x, std::int64_t y, std::int64_t tile, std::string& record) {
    const std::int64_t bytes[4] = {x % 256, 16 * (y % 16) + x / 256, y / 16, tile};
    record.clear();
    for (const std::int64_t b : bytes) {
        if (b < 0 || b > 255) {
            return false;
        }
        record += static_cast<char>(b);
    }
    return true;
}

void CheckEncodeRow(Reader in) {
    const std::uint32_t maps = in.Take(1);
    RecordValues values;
    values.ColorMap = {static_cast<std::int16_t>((maps & 3) - 1),
                       static_cast<std::int16_t>(((maps >> 2) & 3) - 1)};
    values.TileNumber = static_cast<std::int16_t>(in.Take(2));
    const auto width = static_cast<std::int32_t>(in.Take(4));
    const auto y = static_cast<std::int32_t>(in.Take(4));
    const std::string row = in.Rest();

    // The model: the first tile pixel whose record cannot be built ends the row with an invalid
    // argument; a width beyond the row's bits ends it with a type mismatch.
    std::string expected;
    enum { Records, InvalidArgument, TypeMismatch } expectedEnd = Records;
    const std::int64_t rowBits = 8 * static_cast<std::int64_t>(row.size());
    for (std::int64_t x = 0; x < std::min<std::int64_t>(width, rowBits); ++x) {
        const int bit = (static_cast<unsigned char>(row[x / 8]) >> (7 - x % 8)) & 1;
        if (values.ColorMap[bit] != 1) {
            continue;
        }
        std::string record;
        if (y < 0 || !ModelRecord(x, y, values.TileNumber, record)) {
            expectedEnd = InvalidArgument;
            break;
        }
        expected += record;
    }
    if (expectedEnd == Records && width > rowBits) {
        expectedEnd = TypeMismatch;
    }

    test::CountingPump pump;
    std::string records;
    try {
        records = EncodeRow(row, width, y, values, pump);
    } catch (const InvalidArgumentError&) {
        if (expectedEnd != InvalidArgument) {
            Broken("EncodeRow fails with an invalid argument only for a record byte out of range");
        }
        return;
    } catch (const OverflowError&) {
        // y / 16 beyond the 16-bit range overflows in RoundDown before the byte test is made.
        if (expectedEnd != InvalidArgument || (y >= -524000 && y <= 524287)) {
            Broken("EncodeRow overflows only for a y far outside the picture");
        }
        return;
    } catch (const TypeMismatchError&) {
        if (expectedEnd != TypeMismatch) {
            Broken("EncodeRow fails with a type mismatch only for a width beyond the row");
        }
        return;
    }
    if (expectedEnd != Records || records != expected) {
        Broken("EncodeRow gives one record per tile pixel");
    }
    if (static_cast<std::size_t>(pump.yields) != records.size() / 4) {
        Broken("EncodeRow yields once per record");
    }
}

void CheckTileRecord(Reader in) {
    const auto TileNumber = static_cast<std::int16_t>(in.Take(2));
    const auto x = static_cast<std::int32_t>(in.Take(4));
    const auto y = static_cast<std::int32_t>(in.Take(4));
    test::CountingPump pump;
    std::string record;
    bool built = true;
    try {
        record = TileRecord(x, y, TileNumber, pump);
    } catch (const InvalidArgumentError&) {
        built = false;
    } catch (const OverflowError&) {
        built = false;
    }
    if (x < 0 || y < 0) {
        if (built && record.size() != 4) {
            Broken("TileRecord gives 4 bytes");
        }
        return;
    }
    std::string expected;
    const bool valid = ModelRecord(x, y, TileNumber, expected);
    if (built != valid || (built && record != expected)) {
        Broken("TileRecord", std::to_string(x) + ", " + std::to_string(y));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string argument(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 7) {
        case 0:
            CheckByteToBits(Reader(argument));
            break;
        case 1:
            CheckReverseString(argument);
            break;
        case 2:
            CheckBitsToNumber(argument);
            break;
        case 3:
            CheckBytesToNumber(argument);
            break;
        case 4:
            CheckRoundDown(argument);
            break;
        case 5:
            CheckEncodeRow(Reader(argument));
            break;
        default:
            CheckTileRecord(Reader(argument));
            break;
    }
    return 0;
}

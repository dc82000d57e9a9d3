// Writes the seed corpus of the fuzz targets, built with the tests' own BMP builder and layer data
// encoders:
//   make_seed_corpus RUN_FOLDER CODEC_FOLDER MAP_FOLDER
// Seeds are a starting point; the fuzzer grows its corpus from them.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "run_input.h"
#include "support/bmp_builder.h"
#include "support/map_bytes.h"

namespace {

using quorbel::fuzz::RunInput;
using quorbel::test::BmpBuilder;

std::vector<RunInput> RunSeeds() {
    const std::string tileset = BmpBuilder(16, 16).Bytes();
    const auto checker = [](int x, int y) { return (x + y) % 2; };
    const std::string pictures[] = {
        BmpBuilder(8, 4).Pixels(checker).Bytes(),
        BmpBuilder(1, 1).Bytes(),
        BmpBuilder(33, 2).Pixels(checker).DirtyPadding().Bytes(),
        BmpBuilder(0, 3).Bytes(),
        BmpBuilder(5, 0).Bytes(),
        BmpBuilder(4, 4).Palette({255, 255, 255, 0}, {0, 0, 0, 0}).Pixels(checker).Bytes(),
        BmpBuilder(4, 4).BitsPerPixel(24).Bytes(),
        BmpBuilder(4, 4).DataOffset(318).Bytes(),
        BmpBuilder(4, -4).Bytes(),
        BmpBuilder(1025, 1).StoredRows(0).Bytes(),
        BmpBuilder(262113, 1).StoredRows(0).Bytes(),
        BmpBuilder(3, 3).StoredRows(2).Bytes(),
    };
    std::vector<RunInput> seeds;
    for (const std::string& picture : pictures) {
        seeds.push_back({"171", tileset, picture});
    }
    for (const char* text : {"", " 2.5 ", "-1", "256", "0", "255"}) {
        seeds.push_back({text, tileset, pictures[0]});
    }
    seeds.push_back({"171", "BM" + quorbel::test::Le32(0x7FFFFFFF), pictures[0]});
    seeds.push_back({"171", "", pictures[0]});
    return seeds;
}

std::vector<std::string> CodecSeeds() {
    const std::string row = std::string("\xA5\x0F\xFF\x00", 4);
    return {
        std::string("\x00\xAB\x00", 3),          // ByteToBits 171
        std::string("\x01") + "abc",             // ReverseString
        std::string("\x02") + "0101101",         // BitsToNumber
        std::string("\x03\x3E\x00\x00\x00", 5),  // BytesToNumber 62
        std::string("\x04") + "1.171875",        // RoundDown
        std::string("\x04") + "-1.7",            //
        std::string("\x05\x09\xAB\x00\x20\x00\x00\x00\x11\x00\x00\x00", 12) + row,  // EncodeRow
        std::string("\x06\xAB\x00\x2C\x01\x00\x00\x11\x00\x00\x00", 11),  // TileRecord(300, 17)
    };
}

std::string Repeated(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

// Maps as Tiled writes them: each layer data encoding, an infinite map, groups, object layers,
// and a JSON map; and hostile ones: deep nesting, chunks at the ends of 64 bits, negative sides.
std::vector<std::string> MapSeeds() {
    using quorbel::test::Base64;
    using quorbel::test::Compress;
    const std::string gids = quorbel::test::GidBytes({1, 0, 3, 0, 20, 171});
    const std::string start =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map version=\"1.8\" width=\"3\" "
        "height=\"2\" tilewidth=\"16\" tileheight=\"16\">\n <tileset firstgid=\"1\" "
        "name=\"t\" tilewidth=\"16\" tileheight=\"16\" tilecount=\"190\" columns=\"19\">\n  "
        "<image source=\"t.bmp\" width=\"304\" height=\"160\"/>\n </tileset>\n";
    const auto layer = [](const std::string& attributes, const std::string& data) {
        return " <layer id=\"1\" name=\"a\" width=\"3\" height=\"2\">\n  <data " + attributes +
               ">" + data + "</data>\n </layer>\n";
    };
    return {
        start + layer("encoding=\"csv\"", "\n1,0,3,\n0,20,171\n") + "</map>\n",
        start + layer("encoding=\"base64\"", Base64(gids)) + "</map>\n",
        start + layer("encoding=\"base64\" compression=\"zlib\"", Base64(Compress(gids, false))) +
            "</map>\n",
        start + layer("encoding=\"base64\" compression=\"gzip\"", Base64(Compress(gids, true))) +
            "</map>\n",
        start + layer("", "<tile gid=\"1\"/><tile/><tile gid=\"3\"/><tile/><tile/><tile/>") +
            "</map>\n",
        start +
            layer("encoding=\"csv\"",
                  "<chunk x=\"0\" y=\"16\" width=\"3\" height=\"2\">1,0,3,0,20,171</chunk>") +
            "<group name=\"g\"><objectgroup name=\"o\"/>" +
            layer("encoding=\"csv\"", "0,0,0,5,0,0") + "</group></map>\n",
        R"({"height":2, "width":3, "infinite":false, "type":"map",
 "tilesets":[{"columns":19, "firstgid":1, "image":"t.bmp", "imageheight":160, "imagewidth":304,
   "margin":0, "name":"t", "spacing":0, "tilecount":190, "tileheight":16, "tilewidth":16}],
 "layers":[{"data":[1, 0, 3, 0, 20, 171], "height":2, "name":"a", "type":"tilelayer", "width":3},
  {"type":"group", "name":"g", "layers":[{"type":"imagelayer", "name":"i"},
   {"chunks":[{"data":"AQAAAAAAAAA=", "height":1, "width":2, "x":16, "y":0}], "encoding":"base64",
    "height":16, "name":"c", "type":"tilelayer", "width":16}]}]})",
        "{\"tilesets\":[{\"firstgid\":" + std::string(100000, '[') + std::string(100000, ']') +
            "}]}",
        "{\"layers\":[" + Repeated("{\"type\":\"group\",\"name\":\"g\",\"layers\":[", 20000) +
            Repeated("]}", 20000) + "]}",
        start + Repeated("<group name=\"g\">", 20000) + Repeated("</group>", 20000) + "</map>\n",
        start +
            layer("encoding=\"csv\"",
                  "<chunk x=\"9223372036854775807\" y=\"-9223372036854775808\" width=\"2\" "
                  "height=\"1\">1,0</chunk>") +
            "</map>\n",
        start + " <layer name=\"n\" width=\"-2\" height=\"1\"><data encoding=\"csv\"/></layer>\n" +
            "</map>\n",
    };
}

void WriteSeeds(const std::filesystem::path& folder, const std::vector<std::string>& seeds) {
    std::filesystem::create_directories(folder);
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        quorbel::test::WriteWholeFile((folder / ("seed-" + std::to_string(i))).string(), seeds[i]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_seed_corpus RUN_FOLDER CODEC_FOLDER MAP_FOLDER\n");
        return 64;
    }
    std::vector<std::string> runSeeds;
    for (const RunInput& seed : RunSeeds()) {
        runSeeds.push_back(quorbel::fuzz::JoinRunInput(seed));
    }
    WriteSeeds(argv[1], runSeeds);
    WriteSeeds(argv[2], CodecSeeds());
    WriteSeeds(argv[3], MapSeeds());
    return 0;
}

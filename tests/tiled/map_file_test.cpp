#include "tiled/map_file.h"

#include <gtest/gtest.h>

#include <map>

#include "support/bmp_builder.h"
#include "support/scratch_dir.h"

namespace quorbel::tiled {
namespace {

const char* Name(CellEncoding encoding) {
    switch (encoding) {
        case CellEncoding::Csv:
            return "csv";
        case CellEncoding::Base64:
            return "base64";
        case CellEncoding::Gids:
            return "gids";
    }
    return "?";
}

const char* Name(CellCompression compression) {
    switch (compression) {
        case CellCompression::None:
            return "";
        case CellCompression::Zlib:
            return "+zlib";
        case CellCompression::Gzip:
            return "+gzip";
        case CellCompression::Zstd:
            return "+zstd";
    }
    return "?";
}

// The map in one line, with the folder's path left out.
std::string Describe(const TiledMap& map, const std::string& folder) {
    const auto local = [&](const std::string& path) {
        return path.starts_with(folder) ? path.substr(folder.size()) : path;
    };
    std::string text;
    for (const TiledTileset& t : map.tilesets) {
        text += "tileset " + t.name + " " + std::to_string(t.firstGid) + " " +
                std::to_string(t.tileWidth) + "x" + std::to_string(t.tileHeight) + " c" +
                std::to_string(t.columns) + " n" + std::to_string(t.tileCount) + " " +
                local(t.imagePath) + " " + std::to_string(t.imageWidth) + "x" +
                std::to_string(t.imageHeight) + (t.file.empty() ? "" : " from " + local(t.file)) +
                "; ";
    }
    for (const TiledLayer& layer : map.layers) {
        text += layer.kind == LayerKind::Tile     ? "tile "
                : layer.kind == LayerKind::Object ? "object "
                                                  : "image ";
        text += layer.name;
        for (const CellBlock& b : layer.blocks) {
            text += " [" + std::to_string(b.x) + "," + std::to_string(b.y) + " " +
                    std::to_string(b.width) + "x" + std::to_string(b.height) + " " +
                    Name(b.encoding) + Name(b.compression) + " " + std::to_string(b.data.size()) +
                    "]";
        }
        text += "; ";
    }
    return text;
}

std::string Repeated(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

struct Case {
    const char* name;
    std::map<std::string, std::string> files;  // the map is "map"
    const char* expected;                      // Describe(), or part of the error
};

const char kTmxStart[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" orientation="orthogonal" width="3" height="2" tilewidth="16" tileheight="16">
 <tileset firstgid="1" name="t" tilewidth="16" tileheight="16" tilecount="190" columns="19">
  <image source="pics/t.bmp" width="304" height="160"/>
 </tileset>
)";

const Case kCases[] = {
    {"tmx: csv layer, groups, object and image layers",
     {{"map", std::string(kTmxStart) + R"( <layer id="1" name="a" width="3" height="2">
  <data encoding="csv">
1,0,3,
0,20,171
</data>
 </layer>
 <group id="4" name="g">
  <objectgroup id="2" name="o"/>
  <group id="5" name="inner">
   <layer id="3" name="b" width="3" height="2"><data encoding="base64" compression="gzip">AAAA</data></layer>
  </group>
  <imagelayer id="6" name="i"/>
 </group>
</map>)"}},
     "tileset t 1 16x16 c19 n190 pics/t.bmp 304x160; tile a [0,0 3x2 csv 17]; object o; "
     "tile b [0,0 3x2 base64+gzip 4]; image i; "},
    {"tmx: <tile> elements and chunks of an infinite map",
     {{"map", std::string(kTmxStart) + R"( <layer id="1" name="x" width="3" height="2">
  <data><tile gid="5"/><tile/><tile gid="2147483649"/></data>
 </layer>
 <layer id="2" name="inf" width="16" height="16">
  <data encoding="base64" compression="zlib">
   <chunk x="-16" y="0" width="16" height="16">eJw=</chunk>
   <chunk x="0" y="16" width="16" height="16">eJx=</chunk>
  </data>
 </layer>
</map>)"}},
     "tileset t 1 16x16 c19 n190 pics/t.bmp 304x160; tile x [0,0 3x2 gids 12]; "
     "tile inf [-16,0 16x16 base64+zlib 4] [0,16 16x16 base64+zlib 4]; "},
    {"tmx: external tsx and tsj tilesets, pictures beside them",
     {{"map", R"(<map width="1" height="1"><tileset firstgid="1" source="sets/a.tsx"/>
<tileset firstgid="200" source="b.tsj"/></map>)"},
      {"sets/a.tsx", R"(<?xml version="1.0"?>
<tileset name="a" tilewidth="16" tileheight="16" tilecount="4" columns="2"><image source="../a.bmp" width="32" height="32"/></tileset>)"},
      {"b.tsj",
       R"({"name":"b","tilewidth":32,"tileheight":16,"image":"b.png","imagewidth":64,"imageheight":16})"}},
     "tileset a 1 16x16 c2 n4 sets/../a.bmp 32x32 from sets/a.tsx; "
     "tileset b 200 32x16 c0 n0 b.png 64x16 from b.tsj; "},
    {"json: arrays, base64, chunks, groups",
     {{"map", R"({ "height":2, "infinite":false, "width":3, "type":"map",
 "tilesets":[{"columns":19, "firstgid":1, "image":"t.bmp", "imageheight":160, "imagewidth":304,
   "margin":0, "name":"t", "spacing":0, "tilecount":190, "tileheight":16, "tilewidth":16}],
 "layers":[
  {"data":[1, 0, 3, 0, 20, 171], "height":2, "id":1, "name":"a", "type":"tilelayer", "width":3,
   "properties":[{"name":"data","type":"string","value":"x"}]},
  {"type":"group", "name":"g", "layers":[
    {"type":"objectgroup", "name":"o", "objects":[{"id":1, "x":1.5}]},
    {"compression":"zstd", "data":"KLUv", "encoding":"base64", "height":2, "name":"z",
     "type":"tilelayer", "width":3}]},
  {"type":"imagelayer", "name":"i", "image":"bg.png"},
  {"chunks":[{"data":[0, 7], "height":1, "width":2, "x":-32, "y":16}], "encoding":"csv",
   "height":16, "name":"inf", "startx":-32, "starty":16, "type":"tilelayer", "width":16}]})"}},
     "tileset t 1 16x16 c19 n190 t.bmp 304x160; tile a [0,0 3x2 gids 24]; object o; "
     "tile z [0,0 3x2 base64+zstd 4]; image i; tile inf [-32,16 2x1 gids 8]; "},
    {"json: external tilesets in both formats",
     {{"map",
       R"({"tilesets":[{"firstgid":1, "source":"a.tsx"}, {"firstgid":5, "source":"d/b.json"}],
       "layers":[]})"},
      {"a.tsx",
       R"(<tileset name="a" tilewidth="16" tileheight="16" columns="2" tilecount="4"><image source="a.bmp" width="32" height="32"/></tileset>)"},
      {"d/b.json", R"({"name":"b", "tilewidth":16, "tileheight":16, "columns":1, "tilecount":1,
       "image":"b.bmp", "imagewidth":16, "imageheight":16, "type":"tileset"})"}},
     "tileset a 1 16x16 c2 n4 a.bmp 32x32 from a.tsx; tileset b 5 16x16 c1 n1 d/b.bmp 16x16 "
     "from d/b.json; "},
    {"tmx not well-formed",
     {{"map", "<map>\n <layer name=\"a\">\n</map>"}},
     "is not well-formed XML: Start-end tags mismatch at line 3, column"},
    {"json not well-formed",
     {{"map", "{\n \"layers\": [\n  {\"name\": \"a\",}\n ]\n}"}},
     "is no JSON map: parse error at line 3, column 16"},
    {"neither", {{"map", "tiles: 1, 2"}}, "is neither XML (a TMX map) nor JSON"},
    {"tmx of another kind", {{"map", "<tileset name=\"a\"/>"}}, "holds <tileset>, not <map>"},
    {"tmx: width no number",
     {{"map",
       std::string(kTmxStart) +
           R"(<layer name="a" width="3px" height="2"><data encoding="csv"/></layer></map>)"}},
     "the width of <layer> is '3px', not a whole number"},
    {"tmx: unknown encoding",
     {{"map", std::string(kTmxStart) +
                  R"(<layer name="a" width="3" height="2"><data encoding="hex"/></layer></map>)"}},
     "layer data in the encoding 'hex' is not read"},
    {"tmx: firstgid 0",
     {{"map", R"(<map><tileset firstgid="0" name="t" tilewidth="16" tileheight="16"/></map>)"}},
     "a tileset's firstgid is 0, outside 1..268435455"},
    {"tmx: missing external tileset",
     {{"map", R"(<map><tileset firstgid="1" source="gone.tsx"/></map>)"}},
     "gone.tsx"},
    {"json: a string in a data array",
     {{"map", R"({"layers":[{"type":"tilelayer","name":"a","width":1,"height":1,"data":["1"]}]})"}},
     "a layer's data array holds \"1\", which is no gid"},
    {"json: a negative gid",
     {{"map", R"({"layers":[{"type":"tilelayer","name":"a","width":1,"height":1,"data":[-1]}]})"}},
     "a layer's data array holds -1, which is no gid"},
    {"json: width as text",
     {{"map", R"({"layers":[{"type":"tilelayer","name":"a","width":"1","height":1,"data":[1]}]})"}},
     "the 'width' of layer 'a' is \"1\", not a whole number"},
    {"json: unknown layer type",
     {{"map", R"({"layers":[{"type":"hexlayer","name":"h"}]})"}},
     "layer 'h' has the type 'hexlayer', not one of"},
    {"json: 100,000 arrays nested in a firstgid",
     {{"map", "{\"tilesets\":[{\"firstgid\":\n" + std::string(100000, '[') +
                  std::string(100000, ']') + "}]}"}},
     "nests arrays and objects more than 256 deep at line 2, column 254"},
    {"json: an array shown by its size",
     {{"map",
       R"({"layers":[{"type":"tilelayer","name":"a","width":[[1],[2]],"height":1,"data":[1]}]})"}},
     "the 'width' of layer 'a' is an array of 2 values, not a whole number"},
    {"json: groups 101 deep",
     {{"map", "{\"layers\":[" + Repeated("{\"type\":\"group\",\"name\":\"g\",\"layers\":[", 101) +
                  Repeated("]}", 101) + "]}"}},
     "the group 'g' lies 101 groups deep; groups are read 100 deep at most"},
    {"tmx: groups 20,000 deep",
     {{"map",
       "<map>" + Repeated("<group name=\"g\">", 20000) + Repeated("</group>", 20000) + "</map>"}},
     "the group 'g' lies 101 groups deep"},
    {"utf-16 with a byte-order mark",
     {{"map", std::string("\xFF\xFE<\0m\0a\0p\0/\0>\0", 14)}},
     "is little-endian UTF-16 text; maps and tilesets are read as UTF-8, which Tiled writes"},
    {"utf-16 tileset without a byte-order mark",
     {{"map", R"(<map><tileset firstgid="1" source="u.tsx"/></map>)"},
      {"u.tsx", std::string("\0{\0}", 4)}},
     "u.tsx' is big-endian UTF-16 text"},
    {"one tileset file named twice",
     {{"map",
       R"(<map><tileset firstgid="1" source="a.tsx"/><tileset firstgid="9" source="a.tsx"/></map>)"},
      {"a.tsx",
       R"(<tileset name="a" tilewidth="16" tileheight="16" tilecount="4" columns="2"><image source="a.bmp" width="32" height="32"/></tileset>)"}},
     "tileset a 1 16x16 c2 n4 a.bmp 32x32 from a.tsx; tileset a 9 16x16 c2 n4 a.bmp 32x32 from "
     "a.tsx; "},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class MapFileTest : public ::testing::TestWithParam<Case> {};

TEST_P(MapFileTest, ReadsTheMapOrSaysWhyNot) {
    const Case& c = GetParam();
    test::ScratchDir dir;
    for (const auto& [name, text] : c.files) {
        std::filesystem::create_directories((dir.Path() / name).parent_path());
        test::WriteWholeFile(dir / name, text);
    }
    const std::string folder = (dir.Path() / "").string();
    try {
        EXPECT_EQ(Describe(ReadMapFile(dir / "map"), folder), c.expected);
    } catch (const std::runtime_error& error) {  // MapError, or FileError for a missing file
        EXPECT_NE(std::string(error.what()).find(c.expected), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Maps, MapFileTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& row) {
                             std::string name;
                             for (const char c : std::string(row.param.name)) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace quorbel::tiled

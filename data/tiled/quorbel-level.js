/*
 * Quorbel level (*.lvl) for Tiled: File > Open reads a level file as a map, and Save or Save As
 * writes one, on any system Tiled runs on. It uses only what Tiled's scripting offers since
 * Tiled 1.8. Put this file in Tiled's extensions folder (Edit > Preferences > Plugins > Open) or
 * in a Tiled project's extensions folder, and start Tiled again.
 *
 * A level file is its tileset picture (a BMP, copied byte for byte) followed by one 4-byte record
 * per tile, the little-endian word x + y * 2^12 + tile * 2^24. Tile t is the picture's 16 x 16
 * cell in column (t - 1) mod 19 and row (t - 1) div 19. These rules are the ones
 * `quorbel-lvl export` and `quorbel-lvl import` follow, written once more here because Tiled runs
 * JavaScript; the project's tests hold the two to each other, byte for byte.
 */
(function () {
    "use strict";

    const CELL_SIDE = 16;
    const CELLS_PER_ROW = 19;
    const LARGEST_TILE = 255; // a record holds the tile number in one byte
    const LARGEST_COORDINATE = 4095; // and x and y in 12 bits each
    const RECORD_SIZE = 4;
    const MOST_CELLS = 2 ** 25; // layers x width x height of a map: two layers of 4096 x 4096
    const LARGEST_PICTURE_FILE = 64 * 1024 * 1024;
    const RECORDS_PROPERTY = "quorbel.records";

    // A map that cannot become a level: save returns its text, which Tiled shows.
    class Refusal extends Error {}

    // text between single quotes, control characters as \xHH, so that a message stays one line.
    function quoted(text) {
        return "'" + String(text).replace(/[\x00-\x1f\x7f]/g, (c) =>
            "\\x" + c.charCodeAt(0).toString(16).toUpperCase().padStart(2, "0")) + "'";
    }

    function plural(count, word) {
        return count + " " + word + (count === 1 ? "" : "s");
    }

    // The count little-endian records from bytes[start], as words.
    function recordWords(bytes, start, count) {
        const view = new DataView(bytes.buffer, bytes.byteOffset + start, RECORD_SIZE * count);
        const words = new Uint32Array(count);
        for (let i = 0; i < count; ++i) {
            words[i] = view.getUint32(RECORD_SIZE * i, true);
        }
        return words;
    }

    // The bytes of the little-endian records of words.
    function recordBytes(words) {
        const count = words.length;
        const bytes = new Uint8Array(RECORD_SIZE * count);
        const view = new DataView(bytes.buffer);
        for (let i = 0; i < count; ++i) {
            view.setUint32(RECORD_SIZE * i, words[i], true);
        }
        return bytes;
    }

    function readAll(path) {
        const file = new BinaryFile(path, BinaryFile.ReadOnly);
        const bytes = file.readAll();
        file.close();
        return new Uint8Array(bytes);
    }

    function littleEndian(bytes, at, count) {
        let value = 0;
        for (let i = count - 1; i >= 0; --i) {
            value = value * 256 + bytes[at + i];
        }
        return value;
    }

    function signed32(value) {
        return value >= 2 ** 31 ? value - 2 ** 32 : value;
    }

    // The picture described by a prefix's first bytes (a BMP file header and an info header that
    // says the sides), or null.
    function prefixPicture(bytes, prefixSize) {
        const length = Math.min(prefixSize, bytes.length);
        if (length < 18 || bytes[0] !== 0x42 || bytes[1] !== 0x4d) {
            return null;
        }
        const infoSize = littleEndian(bytes, 14, 4);
        if (infoSize === 12 && length >= 26) {
            return {width: littleEndian(bytes, 18, 2), height: littleEndian(bytes, 20, 2)};
        }
        if (infoSize >= 40 && length >= 30) {
            return {
                width: signed32(littleEndian(bytes, 18, 4)),
                height: signed32(littleEndian(bytes, 22, 4)),
            };
        }
        return null;
    }

    // The tile grid of a picture as the game numbers it: whole 16 x 16 cells.
    function gridOf(picture) {
        return {
            columns: Math.floor(Math.max(picture.width, 0) / CELL_SIDE),
            rows: Math.floor(Math.abs(picture.height) / CELL_SIDE),
        };
    }

    function hasCell(tile, grid) {
        return tile >= 1 && (tile - 1) % CELLS_PER_ROW < grid.columns &&
            Math.floor((tile - 1) / CELLS_PER_ROW) < grid.rows;
    }

    // The level file's parts. Throws for a file that is no level, or one no map can show.
    function parseLevel(bytes, name) {
        if (bytes.length < 6) {
            throw new Error(quoted(name) + " is no level file: it has " + bytes.length +
                " bytes, too few to hold the prefix size at bytes 2..5");
        }
        const prefixSize = littleEndian(bytes, 2, 4);
        if (prefixSize > bytes.length) {
            throw new Error(quoted(name) + " is no level file: its size field says the prefix has " +
                prefixSize + " bytes, but the file has only " + bytes.length);
        }
        const picture = prefixPicture(bytes, prefixSize);
        if (picture === null) {
            throw new Error("the prefix of " + quoted(name) +
                " is no BMP picture, so Tiled has no tileset picture to show");
        }
        if (prefixSize > LARGEST_PICTURE_FILE) {
            throw new Error("the prefix of " + quoted(name) + " has " + prefixSize +
                " bytes, more than the " + LARGEST_PICTURE_FILE + " that are read as a picture");
        }
        const count = Math.floor((bytes.length - prefixSize) / RECORD_SIZE);
        if (count > MOST_CELLS) {
            throw new Error(quoted(name) + " has " + count + " records, more than the " +
                MOST_CELLS + " cells a map is given");
        }
        const trailing = (bytes.length - prefixSize) % RECORD_SIZE;
        if (trailing !== 0) {
            tiled.warn(quoted(name) + ": " + trailing +
                " trailing byte(s) after the last whole record are no record and are left out");
        }
        return {picture: picture, words: recordWords(bytes, prefixSize, count)};
    }

    function checkTilesHaveCells(words, picture) {
        const counts = new Float64Array(LARGEST_TILE + 1);
        const count = words.length; // read once: a property read in the loop costs much here
        for (let i = 0; i < count; ++i) {
            ++counts[words[i] >>> 24];
        }
        const grid = gridOf(picture);
        const missing = [];
        counts.forEach((count, tile) => {
            if (count !== 0 && !hasCell(tile, grid)) {
                missing.push(tile + " (" + plural(count, "record") + ")");
            }
        });
        if (missing.length !== 0) {
            throw new Error("tile numbers without a whole cell in the " + picture.width + " x " +
                Math.abs(picture.height) + " prefix picture: " + missing.join(", ") +
                "; a map can only hold the picture's tiles (quorbel-lvl render draws them as " +
                "placeholders)");
        }
    }

    // The records spread over layers so that save writes them back in their order: a record
    // starts the next layer when its cell is filled in the current one or it comes before the
    // current layer's last record in save's order. Gives the map's size and where each layer
    // starts; throws when the layers would pass MOST_CELLS.
    function recordLayers(words) {
        let largestX = 0;
        let largestY = 0;
        const count = words.length;
        const starts = count === 0 ? [] : [0];
        let last = -1;
        for (let i = 0; i < count; ++i) {
            const x = words[i] & 0xfff;
            const y = (words[i] >>> 12) & 0xfff;
            if (x > largestX) {
                largestX = x;
            }
            if (y > largestY) {
                largestY = y;
            }
            // The record's place in the order save writes a layer: rows from the bottom up
            // (the largest y first), left to right.
            const order = (LARGEST_COORDINATE - y) * (LARGEST_COORDINATE + 1) + x;
            if (order <= last) {
                starts.push(i);
            }
            last = order;
        }
        const width = largestX + 1;
        const height = largestY + 1;
        const layers = Math.max(starts.length, 1);
        if (layers > Math.floor(MOST_CELLS / (width * height))) {
            throw new Error("the map would need " + layers + " layers of " + width + " x " +
                height + " tiles to keep the records' order (a layer holds a position once, " +
                "its records in rows from the bottom up, left to right, so a record that is " +
                "not past the one before it in that order starts the next layer); that is " +
                "more than the " + MOST_CELLS + " cells a map is given (quorbel-lvl info " +
                "lists the repeated positions; quorbel-lvl split, then compose, orders the " +
                "records into one layer per tile number)");
        }
        return {width: width, height: height, starts: starts};
    }

    function layerName(index) {
        return index === 0 ? "records" : "records " + (index + 1);
    }

    function readLevel(fileName) {
        const level = parseLevel(readAll(fileName), fileName);
        const words = level.words;
        checkTilesHaveCells(words, level.picture);
        const layout = recordLayers(words);

        const map = new TileMap();
        map.setSize(layout.width, layout.height);
        map.setTileSize(CELL_SIDE, CELL_SIDE);
        map.layerDataFormat = TileMap.CSV;
        map.setProperty(RECORDS_PROPERTY, words.length);
        // The level file is the tileset's picture: Tiled reads the BMP at its start by content.
        const tileset = new Tileset(FileInfo.completeBaseName(fileName));
        tileset.setTileSize(CELL_SIDE, CELL_SIDE);
        tileset.image = fileName;
        if (tileset.imageWidth !== level.picture.width ||
            tileset.imageHeight !== Math.abs(level.picture.height)) {
            throw new Error("Tiled cannot read the prefix picture of " + quoted(fileName) +
                " (a BMP of " + level.picture.width + " x " + Math.abs(level.picture.height) +
                " pixels), so it has no tiles to show: save the tileset picture again as a BMP " +
                "from a paint program and make the level over that");
        }
        map.addTileset(tileset);

        // Tiled numbers the cells in rows as wide as the picture.
        const columns = Math.floor(tileset.imageWidth / CELL_SIDE);
        const grid = gridOf(level.picture);
        const tiles = [];
        for (let tile = 1; tile <= LARGEST_TILE; ++tile) {
            if (hasCell(tile, grid)) {
                const row = Math.floor((tile - 1) / CELLS_PER_ROW);
                tiles[tile] = tileset.tile(row * columns + (tile - 1) % CELLS_PER_ROW);
            }
        }
        // A level without records opens as one empty layer, so that it can be painted on.
        const starts = layout.starts.length === 0 ? [0] : layout.starts;
        for (let k = 0; k < starts.length; ++k) {
            const end = k + 1 < starts.length ? starts[k + 1] : words.length;
            const layer = new TileLayer(layerName(k));
            layer.width = layout.width;
            layer.height = layout.height;
            const edit = layer.edit();
            // Bound once: looking the method up on Tiled's object at every call costs a third
            // of the time of a large level.
            const setTile = edit.setTile.bind(edit);
            for (let i = starts[k]; i < end; ++i) {
                const word = words[i];
                setTile(word & 0xfff, (word >>> 12) & 0xfff, tiles[word >>> 24]);
            }
            edit.apply();
            map.addLayer(layer);
        }
        return map;
    }

    // The leading bitmap of path, what a level's prefix is: as many bytes as the BMP size field
    // at bytes 2..5 says.
    function leadingBitmap(path, what) {
        const name = quoted(path) + " (" + what + ")";
        let bytes;
        try {
            bytes = readAll(path);
        } catch (error) {
            throw new Refusal(name + " cannot be read: " + error.message);
        }
        if (bytes.length < 6) {
            throw new Refusal(name + " has " + bytes.length + " bytes, too few for a BMP picture");
        }
        if (bytes[0] !== 0x42 || bytes[1] !== 0x4d) {
            throw new Refusal(name + " is no BMP picture (it does not begin with \"BM\"), and a " +
                "level's prefix must be one: give the tileset a BMP of the same picture (or a " +
                "level file)");
        }
        const size = littleEndian(bytes, 2, 4);
        if (size < 6 || size > bytes.length || size > LARGEST_PICTURE_FILE) {
            throw new Refusal(name + ": its BMP size field says " + size +
                " bytes, but a prefix needs from 6 to " +
                Math.min(bytes.length, LARGEST_PICTURE_FILE));
        }
        return bytes.subarray(0, size);
    }

    // How the first tileset's ids become tile numbers. Refuses a tileset the game's grid cannot
    // read.
    function tileGrid(tileset) {
        const name = "the first tileset " + quoted(tileset.name);
        // Tiled gives a collection the size of its largest image as its tile size.
        const columns = Math.floor(tileset.imageWidth / CELL_SIDE);
        if (tileset.collection || !tileset.image || columns <= 0) {
            throw new Refusal(name + " is a collection of separate images; a level's tiles are " +
                "the cells of one tileset picture");
        }
        if (tileset.tileWidth !== CELL_SIDE || tileset.tileHeight !== CELL_SIDE) {
            throw new Refusal(name + " has tiles of " + tileset.tileWidth + " x " +
                tileset.tileHeight + " pixels; the game's tiles are 16 x 16: make the tileset " +
                "anew with tile width and height 16");
        }
        if (tileset.margin !== 0 || tileset.tileSpacing !== 0) {
            throw new Refusal(name + " has a margin of " + tileset.margin + " and a spacing of " +
                tileset.tileSpacing + " pixels; the game's cells lie side by side from the top " +
                "left corner: set both to 0");
        }
        return {tileset: tileset, columns: columns, tileCount: tileset.tileCount};
    }

    // The records of one tile layer, rows from the bottom up and left to right; refuses the
    // first cell (top row first, as the map file holds them) that no record can hold.
    function layerRecords(map, layer, grid, words) {
        const refuse = (x, y, why) => {
            throw new Refusal("layer " + quoted(layer.name) + ", x " + x + ", y " + y + ": " + why);
        };
        const area = map.infinite ? layer.region().boundingRect
            : {x: 0, y: 0, width: layer.width, height: layer.height};
        const otherTilesets = map.tilesets.length > 1;
        const cellAt = layer.cellAt.bind(layer); // bound once, as in readLevel
        const right = area.x + area.width;
        const bottom = area.y + area.height;
        const rows = [];
        for (let y = area.y; y < bottom; ++y) {
            const row = [];
            for (let x = area.x; x < right; ++x) {
                const cell = cellAt(x, y);
                if (cell.empty) {
                    continue;
                }
                if (cell.flippedHorizontally || cell.flippedVertically ||
                    cell.flippedAntiDiagonally || cell.rotatedHexagonal120) {
                    refuse(x, y, "the tile is flipped or rotated; the game draws tiles only as " +
                        "the picture has them: undo the flip or rotation in Tiled");
                }
                const id = cell.tileId;
                // A cell says its tileset only through its tile, which is missing when the tile
                // lies past its tileset's picture (or the picture could not be loaded).
                const owner = otherTilesets ? layer.tileAt(x, y) : undefined;
                if (owner === null && id < grid.tileCount) {
                    refuse(x, y, "the tile is from a tileset whose picture Tiled could not " +
                        "load; a level's tiles all come from one picture, the first tileset " +
                        quoted(grid.tileset.name) + ": paint with that tileset only");
                }
                if (owner && owner.tileset !== grid.tileset) {
                    refuse(x, y, "the tile is from the tileset " + quoted(owner.tileset.name) +
                        "; a level's tiles all come from one picture, the first tileset " +
                        quoted(grid.tileset.name) + ": paint with that tileset only");
                }
                if (id >= grid.tileCount) {
                    refuse(x, y, "gid " + (id + 1) + " is no tile of the first tileset " +
                        quoted(grid.tileset.name) + " (gids 1 to " + grid.tileCount + ")");
                }
                const column = id % grid.columns;
                const rowOfCell = Math.floor(id / grid.columns);
                if (column >= CELLS_PER_ROW) {
                    refuse(x, y, "the tile is in column " + (column + 1) + " of the tileset " +
                        "picture; the game numbers tiles in rows of 19, so only the first 19 " +
                        "columns can be placed");
                }
                const tile = rowOfCell * CELLS_PER_ROW + column + 1;
                if (tile > LARGEST_TILE) {
                    refuse(x, y, "the tile in column " + (column + 1) + ", row " +
                        (rowOfCell + 1) + " would be tile number " + tile + "; a record holds " +
                        "tile numbers up to 255 (row 14, column 8 is the last)");
                }
                if (x < 0 || y < 0 || x > LARGEST_COORDINATE || y > LARGEST_COORDINATE) {
                    refuse(x, y, "a level holds x and y from 0 to 4095 only: move the tiles " +
                        "(or, in an infinite map, the ones left of or above the origin) into " +
                        "that range");
                }
                row.push(x + y * 4096 + tile * 16777216);
            }
            rows.push(row);
        }
        for (let r = rows.length - 1; r >= 0; --r) {
            for (const word of rows[r]) {
                words.push(word);
            }
        }
    }

    // The records of every tile layer in file order, layers of groups in their place.
    function mapRecords(map, container, grid, words) {
        for (let i = 0; i < container.layerCount; ++i) {
            const layer = container.layerAt(i);
            if (layer.isGroupLayer) {
                mapRecords(map, layer, grid, words);
            } else if (layer.isTileLayer) {
                layerRecords(map, layer, grid, words);
            } else {
                tiled.warn("skipped the " + (layer.isObjectLayer ? "object" : "image") +
                    " layer " + quoted(layer.name) + ": only tile layers hold tiles");
            }
        }
    }

    function levelBytes(map) {
        if (map.tilesets.length === 0) {
            throw new Refusal((map.fileName ? quoted(map.fileName) : "the map") +
                " has no tileset; a level's tiles are cells of one");
        }
        const grid = tileGrid(map.tilesets[0]);
        const prefix = leadingBitmap(grid.tileset.image,
            "the picture of the first tileset " + quoted(grid.tileset.name));
        const words = [];
        mapRecords(map, map, grid, words);
        const bytes = new Uint8Array(prefix.length + RECORD_SIZE * words.length);
        bytes.set(prefix);
        bytes.set(recordBytes(words), prefix.length);
        return bytes;
    }

    // Writes the level only when the whole of it is known, so a refusal leaves any earlier file
    // as it was; BinaryFile replaces the file only on commit.
    function writeLevel(map, fileName) {
        let bytes;
        try {
            bytes = levelBytes(map);
        } catch (error) {
            if (error instanceof Refusal) {
                return error.message;
            }
            throw error;
        }
        const file = new BinaryFile(fileName, BinaryFile.WriteOnly);
        file.write(bytes.buffer);
        file.commit();
        return undefined;
    }

    tiled.registerMapFormat("quorbel-level", {
        name: "Quorbel level",
        extension: "lvl",
        read: readLevel,
        write: writeLevel,
    });
})();

// The warning about a map that gives no record, which convert and compose print alike: such a
// map most often comes of a drawing that lost its pixels on the way to 1 bit.
#pragma once

#include <string>

namespace quorbel::cli {

// "warning: SUBJECT gives no record: ..." with what to try; subject names the map ("'coins.bmp'",
// "the layer").
std::string NoRecordWarning(const std::string& subject);

}  // namespace quorbel::cli

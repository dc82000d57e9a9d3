#include "cli/no_record_warning.h"

namespace quorbel::cli {

std::string NoRecordWarning(const std::string& subject) {
    return "warning: " + subject +
           " gives no record: it has no dark pixel. A drawing in a light colour or on a "
           "transparent background loses its pixels in a 1-bit map that other tools make: make "
           "the map of the drawing with quorbel-lvl prepare, or the level with quorbel-lvl paint";
}

}  // namespace quorbel::cli

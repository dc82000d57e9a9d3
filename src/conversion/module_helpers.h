// The status line and file helpers that the conversion run uses.
#pragma once

#include <string>
#include <string_view>

#include "conversion/front_end.h"

namespace quorbel::modModule {

// Sets the status caption to "Status: " followed by text, then yields to the front end so that it
// is painted. Throws RunInterrupted when the user asked to stop meanwhile.
void SetStatus(FrontEnd& window, std::string_view text);

// True when path names an existing file (a directory does not count); false for "" without a
// lookup. Throws FileError when the lookup itself fails.
bool FileExists(const std::string& path);

// Deletes the file path names. Throws FileError when it cannot (missing included).
void DeleteFile(const std::string& path);

}  // namespace quorbel::modModule

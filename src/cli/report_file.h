// The --report FILE of the commands that convert: checked before the run, written after it
// whatever the run's end.
#pragma once

#include <span>
#include <string>

namespace quorbel::cli {

// A file of the command line and its role in messages: "TILESET".
struct NamedFile {
    std::string path;
    std::string role;
};

// The report is written after the run, so it may not name one of the run's files (the same file
// now, links included, or the same place for one that does not exist yet), and one that could
// not be written is refused before the run starts. Throws UsageError.
void CheckReportPath(const std::string& report, std::span<const NamedFile> files);

// Writes text to report through the output policy. Throws FileError.
void WriteReport(const std::string& report, const std::string& text);

}  // namespace quorbel::cli

#include "cli/report_file.h"

#include <filesystem>

#include "base/errors.h"
#include "command/command_line.h"
#include "files/output_file.h"

namespace quorbel::cli {

using command::UsageError;
namespace {

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) {
        return false;
    }
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) {
        return true;
    }
    const auto placeOfA = std::filesystem::weakly_canonical(a, error);
    if (error) {
        return false;
    }
    const auto placeOfB = std::filesystem::weakly_canonical(b, error);
    return !error && placeOfA == placeOfB;
}

}  // namespace

void CheckReportPath(const std::string& report, std::span<const NamedFile> files) {
    for (const NamedFile& file : files) {
        if (SameFile(report, file.path)) {
            throw UsageError("--report '" + report + "' names the same file as " + file.role);
        }
    }
    try {
        CheckReplaceable(report);
    } catch (const FileError& error) {
        throw UsageError(std::string("--report: ") + error.what());
    }
}

void WriteReport(const std::string& report, const std::string& text) {
    OutputFile file(report);
    file.Write(text);
    file.Commit();
}

}  // namespace quorbel::cli

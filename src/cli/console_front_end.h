// The conversion's front end on a console: fields from the command line, each status and message
// box as one line on a stream, the report kept in memory, and a stop signal as the window's close.
#pragma once

#include <csignal>
#include <map>
#include <ostream>
#include <string>

#include "conversion/front_end.h"

namespace quorbel::cli {

class ConsoleFrontEnd : public FrontEnd {
  public:
    // log receives "Status: <text>" lines (none when quiet) and "<title>: <prompt>" lines; a
    // nonzero stopSignal (set by a signal handler) asks the run to stop at its next yield.
    ConsoleFrontEnd(std::map<Field, std::string> fields, std::ostream& log,
                    const volatile std::sig_atomic_t& stopSignal, bool quiet = false);

    std::string FieldText(Field field) const override;
    void SetCommand1Enabled(bool enabled) override { command1Enabled_ = enabled; }
    void SetStatusCaption(const std::string& caption) override;
    std::string ReportText() const override { return report_; }
    void SetReportText(const std::string& text) override { report_ = text; }
    void ShowCriticalMessage(const std::string& prompt, const std::string& title) override;
    void ProcessEvents() override {}
    bool StopRequested() const override { return stopSignal_ != 0; }
    bool HasEventsToProcess() const override { return false; }

    bool Command1Enabled() const { return command1Enabled_; }

  private:
    std::map<Field, std::string> fields_;
    std::ostream& log_;
    const volatile std::sig_atomic_t& stopSignal_;
    std::string report_;
    bool command1Enabled_ = true;
    bool quiet_ = false;
};

}  // namespace quorbel::cli

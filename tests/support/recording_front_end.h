// A front end in memory for conversion tests: fields to set, and a log of everything the run
// did to the window, with a hook that runs at every yield.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/front_end.h"

namespace quorbel::test {

// A status line as the front end's status label shows it.
inline std::string Status(std::string_view text) {
    return "Status: " + std::string(text);
}

class RecordingFrontEnd : public FrontEnd {
  public:
    std::map<Field, std::string> fields;
    std::vector<std::string> statuses;                       // captions, in order
    std::vector<std::pair<std::string, std::string>> boxes;  // (title, prompt), in order
    std::vector<bool> command1States;                        // every SetCommand1Enabled
    std::string report;
    int yields = 0;
    bool stop = false;
    // Runs inside every yield, with the number of that yield (1 for the first).
    std::function<void(int)> onYield;

    std::string FieldText(Field field) const override {
        const auto found = fields.find(field);
        return found == fields.end() ? std::string() : found->second;
    }
    void SetCommand1Enabled(bool enabled) override { command1States.push_back(enabled); }
    void SetStatusCaption(const std::string& caption) override { statuses.push_back(caption); }
    std::string ReportText() const override { return report; }
    void SetReportText(const std::string& text) override { report = text; }
    void ShowCriticalMessage(const std::string& prompt, const std::string& title) override {
        boxes.emplace_back(title, prompt);
    }
    void ProcessEvents() override {
        ++yields;
        if (onYield) {
            onYield(yields);
        }
    }
    bool StopRequested() const override { return stop; }

    bool Command1Enabled() const { return command1States.empty() || command1States.back(); }
};

// Counts yields and nothing else, for the record encoding.
class CountingPump : public EventPump {
  public:
    int yields = 0;
    void ProcessEvents() override { ++yields; }
    bool StopRequested() const override { return false; }
};

}  // namespace quorbel::test

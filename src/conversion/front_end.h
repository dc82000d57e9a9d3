// What a conversion run needs of the window that starts it. The main window implements it, the
// command-line tool implements it on the console, and tests implement it in memory.
#pragma once

#include <string>

#include "base/errors.h"

namespace quorbel {

// The front end's event processing, which the run hands control to while it works.
class EventPump {
  public:
    virtual ~EventPump() = default;

    // Handles every pending event (repaints, input, other handlers) and returns.
    virtual void ProcessEvents() = 0;

    // True once the user has asked the program to end (main window closed, signal received).
    virtual bool StopRequested() const = 0;

    // False for a front end whose ProcessEvents does nothing (a console): the record encoding
    // then skips its yield per record and looks at StopRequested once per row.
    virtual bool HasEventsToProcess() const { return true; }
};

// Yields to the front end once. Throws RunInterrupted when the user asked to stop meanwhile.
inline void DoEvents(EventPump& pump) {
    pump.ProcessEvents();
    if (pump.StopRequested()) {
        throw RunInterrupted{};
    }
}

// The box that holds the header diagnostic report.
class ReportBox {
  public:
    virtual ~ReportBox() = default;
    virtual std::string ReportText() const = 0;
    virtual void SetReportText(const std::string& text) = 0;
};

// The input fields of the main window, read at the moment a step uses them.
enum class Field { txtTileNum, txtTile, txtPic, txtOut };

class FrontEnd : public EventPump, public ReportBox {
  public:
    // The current text of a field: paths as the file system spells them (UTF-8 on Linux).
    virtual std::string FieldText(Field field) const = 0;

    // Enables or disables the convert button Command1.
    virtual void SetCommand1Enabled(bool enabled) = 0;

    // Replaces the caption of the status label L. Only SetStatus calls it.
    virtual void SetStatusCaption(const std::string& caption) = 0;

    // Shows a modal message box with a critical-stop icon and one OK button; returns once the user
    // has dismissed it. The front end may process events meanwhile.
    virtual void ShowCriticalMessage(const std::string& prompt, const std::string& title) = 0;
};

}  // namespace quorbel

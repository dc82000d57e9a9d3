// One conversion: the tileset's leading bitmap copied to a new level file, followed by a tile
// record for every tile pixel of a 1-bit BMP. It reads its inputs from the front end's fields at
// the moment each step needs them, reports progress on the status line, writes the header report,
// and ends converted, rejected (unsuitable bitmap) or failed (any run-time error), each time with
// Command1 enabled again. The file at the output path changes only when the run converts.
#pragma once

#include <string>
#include <string_view>

#include "conversion/front_end.h"

namespace quorbel {

namespace texts {
inline constexpr std::string_view kOpenedFiles = "opened files";
inline constexpr std::string_view kCopyingTileset = "copying bitmap (tileset)";
inline constexpr std::string_view kGatheringData = "gathering data";
inline constexpr std::string_view kDebugingData = "debuging data";
inline constexpr std::string_view kConverting =
    "Converting Bitmap: this might take a very long time :(";
inline constexpr std::string_view kDone = "Done: Your leet map awaits you :D";
inline constexpr std::string_view kRejectedStatus =
    "YOU STUPID IDIOT, USE THE RIGHT CRAP NEXT TIME...";
inline constexpr std::string_view kErrorStatus = "ERROER!!! OH NOSSS!!!!";

inline constexpr std::string_view kRejectedPrompt =
    "NOPE!!! THE MONOCHROME BITMAP YOU CHOOSE EITHER HAS DIMENSIONS THAT ARE TOO BIG YOU YOU ARE "
    "SOME KIND OF SICK BASTARD THAT GETS KICKS OUT OF FOOLING PROGRAMS.";
inline constexpr std::string_view kRejectedTitle = "YOU IDIOT!!";
inline constexpr std::string_view kErrorPrompt =
    "WTF DID YOU DO??"
    "!?!?"
    " WHY DID YOU MAKEA DA ERROR???? YOU IDIOT, NOW YOUR COMPUTERS GOING TO "
    "EXPLODE!!!!!!! ";
inline constexpr std::string_view kErrorTitle = "OH NOS YOU STUPID IDIOT!!!";
}  // namespace texts

enum class RunOutcome {
    Converted,   // the new level file is in place
    Rejected,    // the bitmap is not a 1-bit, offset-62 BMP of at most 1024 x 1024
    Failed,      // a run-time error ended the run in its error handler
    Interrupted  // the user asked to stop during a yield; no message, no final status
};

// The steps of a run that its status line names, in their order.
enum class RunStage {
    Started,
    OpenedFiles,  // the tileset and the bitmap are open: their own conditions can explain a failure
    CopyingTileset,
    GatheringData,
    DebugingData,
    Converting,
    Done
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Failed;
    std::string cause;  // what went wrong, for a failed or interrupted run; never shown in a window
    RunStage reached = RunStage::Started;  // the last step whose status was shown
};

// Runs one conversion against window, to its end. Catches every run-time error itself.
RunResult RunConversion(FrontEnd& window);

// Ends a run as the window shows its end: the message box of a rejected or failed run, then the
// final status ("Done...", the rejection's or the error's), and Command1 enabled again. Throws
// RunInterrupted when the user asked to stop while the message box was up.
void EndRun(FrontEnd& window, RunOutcome outcome);

}  // namespace quorbel

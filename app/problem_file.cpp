// "problems.txt": what went wrong at the start, in a file anyone can read. A
// Windows program has no standard error, and the traffic log is kept only
// when asked for; a screen-reader user opens this file in Notepad with
// Enter. It is written anew at each start and removed when the start found
// nothing wrong, so a file that is there speaks of the last start.
#include "state/front_panel.h"

namespace {

constexpr const char* problemFileName = "problems.txt";

}  // namespace

void FrontPanel::writeProblemFile() {
  std::vector<std::string> problems;
  problems.swap(startProblems);
  if (problems.empty()) {
    deleteFile(problemFileName);
    return;
  }
  // A link, a folder or a read-only file in its place is left alone.
  TextFile file;
  if (file.open(problemFileName, "W") != 0) {
    reportProblem(problemFileName + (" " + file.problem()) +
                  ": the problems of the start are not written there");
    return;
  }
  file.writeLine("Quelmo " + versionText + " started on " + platform.dateText() + " at " +
                 platform.timeText() + " and found:");
  for (const std::string& problem : problems) file.writeLine(problem);
  file.close();
}

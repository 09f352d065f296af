#pragma once
// The command line of kestrova-setup, shared by every build: which road it
// asks for, the run log it names, and the texts of --help and --version.
// Exit codes: kExitCompleted (0), kExitIncomplete (1), kUnattendedUsageError
// (2, also a wizard without a display), kExitCancelled (3).

#include <ostream>
#include <string>
#include <vector>

#include "app/run_log.h"
#include "app/start_up.h"
#include "ui/headless/unattended_run.h"

namespace ks {

struct CommandLine {
  enum class Road { Help, Version, Unattended, Wizard };
  Road road = Road::Wizard;
  // --log=FILE; "" keeps the log of the last run.
  std::string logFile;
  // The arguments for the setup itself: all but --log.
  std::vector<std::string> setupArguments;
};

// False with the reason in error for an option the road does not know.
bool parseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

// "kestrova-setup: <error>" and the usage, for a bad command line.
int reportBadUsage(std::ostream& err, const std::string& error);
int printHelp(std::ostream& out);
int printVersion(std::ostream& out);

// Opens the run's log: the file of --log (false with the reason in error
// when it can't be written), else lastRunLog ("" or a place that can't be
// written: no log).
bool startRunLog(RunLog& log, const CommandLine& line, const std::string& lastRunLog,
                 std::string& error);

// Writes the outcome of the run to the log and, when the run did not do
// everything, a line that says so and where the log is to err. Returns
// exitCode.
int endRun(int exitCode, std::ostream& err);

}  // namespace ks

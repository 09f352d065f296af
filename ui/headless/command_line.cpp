#include "ui/headless/command_line.h"

#include "catalog/version_servers.h"
#include "ui/headless/unattended_options.h"

#ifndef KS_SETUP_VERSION
#define KS_SETUP_VERSION "0.0.0"
#endif

namespace ks {

namespace {

constexpr std::string_view kLogOption = "--log=";

bool isOneOf(const std::string& arg, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (arg == name) return true;
  }
  return false;
}

// An option an unattended run knows (with a good value or not).
bool isUnattendedOption(const std::string& arg) {
  UnattendedOptions scratch;
  std::string error;
  return parseUnattendedOptions({arg, "--mode=internet"}, scratch, error) ||
         error.rfind("bad value", 0) == 0;
}

// A wizard run knows only "-uninstall" (and --log).
bool checkWizardArguments(const std::vector<std::string>& args, std::string& error) {
  for (const std::string& arg : args) {
    if (arg == kUninstallArgument) continue;
    error = isUnattendedOption(arg) ? arg + " is an option of --unattended runs"
                                    : "unknown option " + arg;
    return false;
  }
  return true;
}

const char* outcomeText(int exitCode) {
  switch (exitCode) {
    case kExitCompleted:
      return "everything was done";
    case kExitIncomplete:
      return "not everything could be done";
    case kUnattendedUsageError:
      return "the options or folders could not be used";
    case kExitCancelled:
      return "cancelled by the user";
    default:
      return "ended";
  }
}

}  // namespace

bool parseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
  line = CommandLine{};
  bool unattended = false;
  for (const std::string& arg : args) {
    if (isOneOf(arg, {"--help", "-h"})) {
      line.road = CommandLine::Road::Help;
      return true;
    }
    if (arg == "--version") line.road = CommandLine::Road::Version;
    unattended = unattended || arg == "--unattended";
    if (arg.rfind(kLogOption, 0) == 0) {
      line.logFile = arg.substr(kLogOption.size());
      if (line.logFile.empty()) {
        error = "--log needs a file name";
        return false;
      }
    } else {
      line.setupArguments.push_back(arg);
    }
  }
  if (line.road == CommandLine::Road::Version) return true;
  if (unattended) {
    line.road = CommandLine::Road::Unattended;
    return true;
  }
  return checkWizardArguments(line.setupArguments, error);
}

int reportBadUsage(std::ostream& err, const std::string& error) {
  err << "kestrova-setup: " << error << "\n\n";
  printHelp(err);
  return kUnattendedUsageError;
}

int printHelp(std::ostream& out) {
  out << "kestrova-setup: installs, downloads or uninstalls Kestrova.\n\n"
         "Usage: kestrova-setup [-uninstall] [--log=FILE]\n"
         "    Opens the setup wizard (with -uninstall: removes the installed application\n"
         "    after asking). Needs a display.\n"
      << unattendedUsage()
      << "  --log=FILE\n"
         "    Writes every page, status line, message, URL tried with the server's answer\n"
         "    and the outcome, each with the time, to FILE. Without it the log of the\n"
         "    last run is kept in $XDG_STATE_HOME/kestrova-setup/last-run.log\n"
         "    (~/.local/state/kestrova-setup/last-run.log).\n"
         "  --version\n"
         "    Prints the setup's version.\n"
         "  --help, -h\n"
         "    Prints this text.\n\n"
         "Exit codes:\n"
         "  0  every selected component was installed (or downloaded, or uninstalled)\n"
         "  1  some failed or were not done\n"
         "  2  bad usage: unknown options, a folder that can't be used, no display\n"
         "  3  cancelled by the user (Cancel in the wizard)\n\n"
         "Environment: "
      << kVersionServersVariable
      << "=server[,server] names the primary and the fallback\n"
         "    version-info server, each host[:port] (http://HOST/kestrova/version2.ini)\n"
         "    or https://host[:port]; one server serves as both. On Linux SSL_CERT_FILE\n"
         "    names a file of the certificate authorities https servers are checked\n"
         "    against (default: the system's); on Windows they are the system's.\n";
  return kExitCompleted;
}

int printVersion(std::ostream& out) {
  out << "kestrova-setup " << KS_SETUP_VERSION << "\n";
  return kExitCompleted;
}

bool startRunLog(RunLog& log, const CommandLine& line, const std::string& lastRunLog,
                 std::string& error) {
  if (!line.logFile.empty()) {
    if (log.open(line.logFile)) return true;
    error = "can't write the log " + line.logFile;
    return false;
  }
  if (!lastRunLog.empty()) log.open(lastRunLog);
  return true;
}

int endRun(int exitCode, std::ostream& err) {
  logLine(std::string("Outcome: ") + outcomeText(exitCode) + " (exit code " +
          std::to_string(exitCode) + ")");
  const std::string path = runLogPath();
  if (exitCode != kExitCompleted && !path.empty()) {
    err << "kestrova-setup: " << outcomeText(exitCode) << ". The log of this run: " << path << "\n";
  }
  return exitCode;
}

}  // namespace ks

// ksetup-tool: checks and prepares what a publisher puts on a download site.
// Each platform's main (posix_main.cpp, win32_main.cpp) picks the adapters.

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/commands.h"

namespace {

struct Command {
  const char* name;
  int (*run)(const ks::tool::Arguments&, const ks::AdapterSet&);
  const char* usage;
};

const Command kCommands[] = {
    {"catalog", ks::tool::runCatalogCommand,
     "catalog [--install-dir DIR] [--windows-dir DIR] [--system-dir DIR] FILE\n"
     "      Loads a version-info file as the setup would and prints the catalog as JSON."},
    {"version-check", ks::tool::runVersionCheckCommand,
     "version-check [--install-dir DIR] [--windows-dir DIR] [--system-dir DIR] EXPR\n"
     "      Evaluates a VersionCheck expression on this computer."},
    {"version-below", ks::tool::runVersionBelowCommand,
     "version-below INSTALLED REQUIRED\n"
     "      Prints true when INSTALLED orders before REQUIRED (the component is required)."},
    {"fetch", ks::tool::runFetchCommand,
     "fetch [--proxy HOST:PORT] [--sha256=HEX] URL FILE\n"
     "      Downloads URL into FILE through the setup's engine and prints every status text.\n"
     "      With --sha256 FILE is kept only when it has that digest. A fetch that broke off\n"
     "      leaves FILE.part; fetching the same URL to FILE again continues it."},
    {"hash", ks::tool::runHashCommand,
     "hash FILE...\n"
     "      Prints one SHA256=<digest> line per file, in order, for its component section."},
    {"repo", ks::tool::runRepoCommand,
     "repo check URL-or-folder [--json]\n"
     "      Fetches every component's package from every site through the setup's engine\n"
     "      and tells whether it is reachable, of the declared size and digest. The URL\n"
     "      names version2.ini or the repository (then /kestrova/version2.ini is read).\n"
     "      Exit status 1 when anything is wrong."},
    {"cab", ks::tool::runCabCommand,
     "cab list CABFILE | cab extract CABFILE DESTDIR |\n"
     "      cab create [--mszip|--quantum[=BITS]|--store] [--max-size BYTES] [--reserve H,F,D]\n"
     "                 OUT.cab [STORED=]FILE...\n"
     "      Lists, extracts (as the setup does) or writes cabinet packages."},
};

int printHelp(FILE* out) {
  std::fprintf(out,
               "ksetup-tool: tools for publishing Kestrova Active Setup repositories.\n"
               "Check a version-info file (version2.ini) and its packages before you put\n"
               "them on a server.\n\nUsage: ksetup-tool COMMAND [ARGS]\n\nCommands:\n");
  for (const Command& command : kCommands) std::fprintf(out, "  %s\n", command.usage);
  return out == stdout ? 0 : 2;
}

}  // namespace

int ks::tool::runTool(const std::vector<std::string>& argv, const AdapterSet& adapters) {
  if (argv.size() < 2) return printHelp(stderr);
  const std::string& name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") return printHelp(stdout);
  for (const Command& command : kCommands) {
    if (name == command.name) return command.run(Arguments(argv.begin() + 2, argv.end()), adapters);
  }
  std::fprintf(stderr, "ksetup-tool: unknown command '%s'\n", name.c_str());
  return printHelp(stderr);
}

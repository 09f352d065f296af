// ksetup-tool fetch: one download through the engine, exactly as the
// Download and Install page runs it, with every text the page would show.
// A fetch that broke off leaves FILE.part, and the next fetch of the same
// URL to the same FILE continues it.

#include <cstdio>

#include "app/printable_text.h"
#include "catalog/sha256_text.h"
#include "tools/commands.h"
#include "tools/engine_fetch.h"
#include "ui/headless/silent_page_view.h"

namespace ks::tool {

namespace {

constexpr const char* kFetchUsage =
    "usage: ksetup-tool fetch [--proxy HOST:PORT] [--sha256=HEX] URL FILE\n";
constexpr std::string_view kSha256Option = "--sha256=";

// Prints the texts of the page's status, source, folder and progress lines.
class PrintingView : public SilentPageView {
 public:
  void setText(int controlId, const std::string& text) override {
    std::printf("%d %s\n", controlId, printableText(text).c_str());
    std::fflush(stdout);
  }
};

bool parseArguments(const Arguments& args, SetupState& state, Component& component) {
  Arguments operands;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--proxy" && i + 1 < args.size()) {
      state.useProxy = 1;
      state.proxyServer = args[++i];
    } else if (args[i].starts_with(kSha256Option)) {
      Sha256Digest digest{};
      if (!parseSha256Text(std::string_view(args[i]).substr(kSha256Option.size()), digest)) {
        return false;
      }
      component.sha256 = digest;
    } else {
      operands.push_back(args[i]);
    }
  }
  if (operands.size() != 2) return false;
  component.urls[0] = operands[0];
  component.localPath = operands[1];
  return true;
}

}  // namespace

int runFetchCommand(const Arguments& args, const AdapterSet& adapters) {
  SetupState state;
  Component component;
  if (!parseArguments(args, state, component)) {
    std::fputs(kFetchUsage, stderr);
    return 2;
  }
  const FetchPorts client(adapters);
  PrintingView view;
  const FetchResult fetched = fetchThroughEngine(component, state, client.ports(), view);
  std::printf("result %d\n", fetched.ok ? 1 : 0);
  return fetched.ok ? 0 : 1;
}

}  // namespace ks::tool

// The publisher's checks of packages, run as a publisher runs them:
// ksetup-tool hash, fetch --sha256 (and a fetch continued after a cut) and
// repo check against servers on 127.0.0.1.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/posix/peer_process.h"
#include "tests/support/posix/run_command.h"
#include "tests/support/source_dir.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::runCommand;
using namespace std::chrono_literals;

constexpr const char* kAbcDigest =
    "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr const char* kEmptyDigest =
    "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// What the tool prints for a file: its SHA256 line without the line end.
std::string hashLine(const std::string& path) {
  std::string out = runCommand({KSETUP_TOOL, "hash", path}).out;
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

TEST(HashCommand, OneSha256LinePerFileInOrder) {
  test::TempDir dir;
  const auto result =
      runCommand({KSETUP_TOOL, "hash", dir.write("abc.cab", "abc"), dir.write("empty.cab", "")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, std::string("SHA256=") + kAbcDigest + "\nSHA256=" + kEmptyDigest + "\n");
  const auto missing = runCommand({KSETUP_TOOL, "hash", dir.path() + "/none.cab"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, "");
}

class PublisherServers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = std::make_unique<test::PeerProcess>();
    ASSERT_TRUE(server->start(
        {"/usr/bin/python3", test::sourceDir() + "/tests/integration/download/http_server.py"},
        20s));
  }
  static void TearDownTestSuite() { server.reset(); }
  static std::string url(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server->port()) + path;
  }
  static std::unique_ptr<test::PeerProcess> server;
  test::TempDir dir;
};
std::unique_ptr<test::PeerProcess> PublisherServers::server;

// The peer's /pattern/N body is what /cut/.../N sends too; its digest comes
// from the tool itself, checked against a fetch without one.
TEST_F(PublisherServers, FetchKeepsAFileOnlyWithItsDigestAndContinuesWhatBrokeOff) {
  const std::string reference = dir.path() + "/reference.bin";
  ASSERT_EQ(runCommand({KSETUP_TOOL, "fetch", url("/pattern/300007"), reference}).exitCode, 0);
  const std::string line = hashLine(reference);
  ASSERT_EQ(line.rfind("SHA256=", 0), 0u) << line;
  const std::string option = "--sha256=" + line.substr(7);

  const std::string file = dir.path() + "/app.cab";
  const auto changed = runCommand({KSETUP_TOOL, "fetch", option, url("/pattern/300008"), file});
  EXPECT_EQ(changed.exitCode, 1);
  EXPECT_NE(changed.out.find("1042 Package is damaged or was changed (SHA-256 mismatch)."),
            std::string::npos)
      << changed.out;
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(fs::exists(file + ".part"));

  const auto cut = runCommand({KSETUP_TOOL, "fetch", option, url("/cut/tool/300007"), file});
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_FALSE(fs::exists(file));
  ASSERT_TRUE(fs::exists(file + ".part"));
  const auto resumed = runCommand({KSETUP_TOOL, "fetch", option, url("/cut/tool/300007"), file});
  EXPECT_EQ(resumed.exitCode, 0) << resumed.out;
  EXPECT_TRUE(slurp(file) == slurp(reference));
  EXPECT_FALSE(fs::exists(file + ".part"));
  EXPECT_EQ(runCommand({KSETUP_TOOL, "fetch", "--sha256=abc", url("/exact.bin"), file}).exitCode,
            2);
}

// A repository served from a folder: one component right on one site and
// changed on the other, one whose package is missing, one whose digest is
// malformed.
class RepoCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(repository.path() + "/kestrova");
    ASSERT_TRUE(http.start(
        {"/usr/bin/python3", test::sourceDir() + "/scripts/serve-folder", repository.path()}, 20s));
    repository.write("pub/a/app.cab", std::string(5000, 'a'));
    repository.write("pub/b/app.cab", std::string(5000, 'b'));
    appDigest = hashLine(repository.path() + "/pub/a/app.cab").substr(7);
  }
  std::string host() const { return "127.0.0.1:" + std::to_string(http.port()); }
  void publish(const std::string& components) {
    repository.write("kestrova/version2.ini",
                     "[Sites]\nSite01=First\nSite02=Second\n" + components);
  }
  std::string app(const std::string& secondSite) const {
    return "[Core.App]\nTitle=Kestrova client\nSize=5\nInstall=1\nSHA256=" + appDigest +
           "\nURL01=http://" + host() + "/pub/a/app.cab\nURL02=http://" + host() + "/pub/" +
           secondSite + "/app.cab\n";
  }
  test::TempDir repository;
  test::PeerProcess http;
  std::string appDigest;
};

TEST_F(RepoCheck, EverythingAsDeclaredExitsZero) {
  publish(app("a"));
  const auto result = runCommand({KSETUP_TOOL, "repo", "check", "http://" + host() + "/"});
  EXPECT_EQ(result.exitCode, 0) << result.out;
  EXPECT_NE(result.out.find("Everything is as declared."), std::string::npos) << result.out;
  const auto folder = runCommand({KSETUP_TOOL, "repo", "check", repository.path() + "/kestrova"});
  EXPECT_EQ(folder.exitCode, 0) << folder.out;
}

TEST_F(RepoCheck, EveryWrongPackageIsNamedAndTheExitStatusIsOne) {
  publish(app("b") + "[Core.Lost]\nTitle=Lost\nInstall=1\nURL01=http://mirror:hunter2@" + host() +
          "/pub/lost.cab\n[Core.Odd]\nTitle=Odd\nInstall=1\nSHA256=xyz\nURL01=http://" + host() +
          "/pub/a/app.cab\n");
  const auto result = runCommand(
      {KSETUP_TOOL, "repo", "check", "http://" + host() + "/kestrova/version2.ini", "--json"});
  EXPECT_EQ(result.exitCode, 1);
  const std::string& out = result.out;
  const auto check = [&](const std::string& component, int site) {
    const std::size_t at =
        out.find("{\"component\": \"" + component + "\", \"site\": " + std::to_string(site) + ",");
    return at == std::string::npos ? std::string() : out.substr(at, out.find('}', at) - at);
  };
  EXPECT_NE(check("Kestrova client", 1).find("\"sha256\": \"ok\""), std::string::npos) << out;
  EXPECT_NE(check("Kestrova client", 1).find("\"size\": \"ok\""), std::string::npos) << out;
  EXPECT_NE(check("Kestrova client", 2).find("\"sha256\": \"differs\""), std::string::npos) << out;
  EXPECT_NE(check("Lost", 1).find("\"reachable\": false"), std::string::npos) << out;
  EXPECT_NE(check("Odd", 1).find("\"sha256\": \"malformed\""), std::string::npos) << out;
  EXPECT_NE(out.find("\"unavailable\": [\"Odd\"]"), std::string::npos) << out;
  EXPECT_NE(out.find("\"ok\": false}"), std::string::npos) << out;
  const auto table = runCommand({KSETUP_TOOL, "repo", "check", "http://" + host() + "/"});
  EXPECT_NE(table.out.find("http://" + host() + "/pub/lost.cab"), std::string::npos) << table.out;
  for (const std::string& shown : {out, table.out, table.err}) {
    EXPECT_EQ(shown.find("hunter2"), std::string::npos) << "a password is shown";
  }
}

}  // namespace
}  // namespace ks

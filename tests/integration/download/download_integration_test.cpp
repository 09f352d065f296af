// The engine on libcurl against real peers on 127.0.0.1: an HTTP server
// with special routes, an FTP server in active mode and a proxy.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "catalog/catalog_records.h"
#include "download/download_file.h"
#include "download/download_job.h"
#include "download/download_notify_window.h"
#include "download/download_status.h"
#include "download/download_worker.h"
#include "download/transfer_cancel.h"
#include "platform/posix/curl_internet_api.h"
#include "platform/posix/openssl_hashing.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/download_ports.h"
#include "tests/support/fake_download_view.h"
#include "tests/support/fake_notify_window.h"
#include "tests/support/patterned_body.h"
#include "tests/support/posix/peer_process.h"
#include "tests/support/posix/run_command.h"
#include "ui/headless/headless_dispatcher.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kPython = "/usr/bin/python3";
const std::string kPeers = KS_DOWNLOAD_PEERS_DIR;

// Answers password questions from a script; records them.
class ScriptedPasswords : public Dialogs {
 public:
  bool browseForFolder(const std::string&, std::string&) override { return false; }
  int runModalDialog(int, ModalDialog&) override { return 2; }
  std::deque<std::optional<std::pair<std::string, std::string>>> answers;
  std::vector<PasswordRequest> asked;
  MessageAnswer messageBox(const MessageBoxRequest&) override { return MessageAnswer::Cancel; }
  bool askPassword(const PasswordRequest& request, std::string& user,
                   std::string& password) override {
    asked.push_back(request);
    if (answers.empty() || !answers.front()) return false;
    user = answers.front()->first;
    password = answers.front()->second;
    answers.pop_front();
    return true;
  }
};

struct Outcome {
  int result = -1;
  std::vector<std::string> messages;
  std::vector<std::string> texts;     // "<id> <text>"
  std::vector<std::intptr_t> causes;  // lParam of each WM_DOWNLOAD_END
  bool has(const std::string& text) const {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
};

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

class DownloadPeers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "ftp_proxy", "FTP_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
      ::unsetenv(name);
    }
  }
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("ks-dl-it-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
    target = folder / "package.bin";
  }
  void TearDown() override { fs::remove_all(folder); }

  // Runs one worker as the Download and Install page does, texts on.
  Outcome fetch(const std::vector<std::string>& urls, const std::string& proxy = "") {
    HeadlessDispatcher ui;
    test::FakeDownloadView view;
    CurlInternetApi internet(dialogs, options);
    PosixFileSystem& files = *fileSystem;
    SetupState state;
    state.useProxy = proxy.empty() ? 0 : 1;
    state.proxyServer = proxy;
    Component component;
    for (std::size_t i = 0; i < urls.size(); ++i) component.urls[i] = urls[i];
    component.localPath = target.string();
    component.downloadLimit = limit;
    component.sha256 = sha256;
    component.download = 1;
    component.statusCallback = downloadStatusCallback;
    const Platform ports = test::downloadPorts(internet, files, &hashing);
    Outcome outcome;
    std::vector<std::thread> workers;
    PageNotifyWindow page(
        ui, view, [&](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
          outcome.messages.push_back(std::to_string(message) + " " + std::to_string(wParam));
          if (message != WM_DOWNLOAD_END) return;
          outcome.causes.push_back(lParam);
          // The page's site fallback: the next URL after a failure.
          if (wParam == 0 && component.urlIndex + 1 < static_cast<int>(urls.size())) {
            ++component.urlIndex;
            workers.emplace_back(downloadWorker, std::ref(component), std::cref(state),
                                 std::cref(ports));
          } else {
            outcome.result = static_cast<int>(wParam);
          }
        });
    component.notifyWindow = &page;
    workers.emplace_back(downloadWorker, std::ref(component), std::cref(state), std::cref(ports));
    const bool ended = ui.runUntil([&] { return outcome.result >= 0; }, 90s);
    for (std::thread& worker : workers) worker.join();
    EXPECT_TRUE(ended);
    outcome.texts = view.textLog;
    return outcome;
  }

  ScriptedPasswords dialogs;
  CurlInternetOptions options;
  PosixFileSystem disk;
  PosixFileSystem* fileSystem = &disk;
  std::uint64_t limit = 0;             // the component's download limit
  std::optional<Sha256Digest> sha256;  // the component's digest
  OpensslHashing hashing;
  fs::path folder;
  fs::path target;
};

class HttpDownload : public DownloadPeers {
 protected:
  static void SetUpTestSuite() {
    DownloadPeers::SetUpTestSuite();
    server = std::make_unique<test::PeerProcess>();
    ASSERT_TRUE(server->start({kPython, kPeers + "/http_server.py"}, 20s));
  }
  static void TearDownTestSuite() { server.reset(); }
  static std::string url(const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server->port()) + path;
  }
  static std::unique_ptr<test::PeerProcess> server;
};
std::unique_ptr<test::PeerProcess> HttpDownload::server;

std::string exactBody() {
  std::string body;
  for (int i = 0; i < 12; ++i) {
    for (int b = 0; b < 256; ++b) body += static_cast<char>(b);
  }
  return body;
}

TEST_F(HttpDownload, FileOfAMultipleOf1024ArrivesWhole) {
  const Outcome outcome = fetch({url("/exact.bin")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.messages, (std::vector<std::string>{"1034 0", "1037 1"}));
  EXPECT_EQ(slurp(target), exactBody());
  EXPECT_TRUE(outcome.has("1064 package.bin from 127.0.0.1:" + std::to_string(server->port())));
  EXPECT_TRUE(outcome.has("1065 " + folder.string()));
  EXPECT_TRUE(std::any_of(outcome.texts.begin(), outcome.texts.end(), [](const std::string& t) {
    return t.rfind("1067 3 KB of 3 KB received (100%) - ", 0) == 0;
  }));
  EXPECT_EQ(outcome.texts.back(), "1042 Download successfull");
  // Connection texts come in WinINet's order.
  const auto at = [&](const std::string& text) {
    return std::find(outcome.texts.begin(), outcome.texts.end(), text) - outcome.texts.begin();
  };
  EXPECT_LT(at("1042 Resolving Name ..."), at("1042 Name resolved."));
  EXPECT_LT(at("1042 Name resolved."), at("1042 Connecting ..."));
  EXPECT_LT(at("1042 Connecting ..."), at("1042 Connected."));
  EXPECT_LT(at("1042 Connected."), at("1042 Downloading ..."));
  EXPECT_LT(at("1042 Downloading ..."), at("1042 Closing Connection ..."));
  EXPECT_LT(at("1042 Closing Connection ..."), at("1042 Connection closed."));
}

TEST_F(HttpDownload, EmptyFileIsCreatedEmpty) {
  const Outcome outcome = fetch({url("/empty.bin")});
  EXPECT_EQ(outcome.result, 1);
  ASSERT_TRUE(fs::exists(target));
  EXPECT_EQ(fs::file_size(target), 0u);
}

TEST_F(HttpDownload, ErrorPageIsNotStored) {
  const Outcome outcome = fetch({url("/missing.bin")});
  EXPECT_EQ(outcome.result, 0);
  EXPECT_FALSE(fs::exists(target));
  EXPECT_EQ(outcome.texts.back(), "1042 Download failed.");
}

TEST_F(HttpDownload, AnswerWithoutContentLengthFailsAndLeavesTheOldFile) {
  std::ofstream(target) << "old";
  EXPECT_EQ(fetch({url("/nolength.bin")}).result, 0);
  EXPECT_EQ(slurp(target), "old");
}

TEST_F(HttpDownload, RedirectIsFollowed) {
  const Outcome outcome = fetch({url("/redirect.bin")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_TRUE(outcome.has("1042 Redirecting..."));
  EXPECT_EQ(slurp(target), exactBody());
}

TEST_F(HttpDownload, PasswordAnsweredSendsAgain) {
  dialogs.answers.push_back(std::make_pair("kestrova", "secret"));
  const Outcome outcome = fetch({url("/auth.bin")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(slurp(target), "authorised package");
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].server, "127.0.0.1");
  EXPECT_FALSE(dialogs.asked[0].proxy);
}

TEST_F(HttpDownload, PasswordDeclinedFailsWithoutStoringTheErrorPage) {
  dialogs.answers.push_back(std::nullopt);
  EXPECT_EQ(fetch({url("/auth.bin")}).result, 0);
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(HttpDownload, WrongPasswordIsAskedAgain) {
  dialogs.answers.push_back(std::make_pair("kestrova", "wrong"));
  dialogs.answers.push_back(std::make_pair("kestrova", "secret"));
  EXPECT_EQ(fetch({url("/auth.bin")}).result, 1);
  EXPECT_EQ(dialogs.asked.size(), 2u);
}

TEST_F(HttpDownload, DroppedConnectionFails) {
  const Outcome outcome = fetch({url("/dropped.bin")});
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.texts.back(), "1042 Download failed.");
}

TEST_F(HttpDownload, SlowDripArrivesWhole) {
  const Outcome outcome = fetch({url("/drip.bin")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(fs::file_size(target), 1024u);
}

TEST_F(HttpDownload, SilentServerIsGivenUp) {
  options.idleTimeout = 1s;
  EXPECT_EQ(fetch({url("/silent.bin")}).result, 0);
}

// The user quits the setup while a server has stopped sending: the transfer
// ends at once (not after the silence time-out) and removes its file.
TEST_F(HttpDownload, AStoppedTransferEndsAtOnceAndRemovesItsFile) {
  options.idleTimeout = std::chrono::minutes(10);
  HeadlessDispatcher ui;
  test::FakeDownloadView view;
  CurlInternetApi internet(dialogs, options);
  PosixFileSystem files;
  SetupState state;
  Component component;
  component.urls[0] = url("/stall.bin");
  component.localPath = target.string();
  component.download = 1;
  component.statusCallback = downloadStatusCallback;
  int result = -1;
  auto page = std::make_shared<PageNotifyWindow>(
      ui, view, [&](unsigned message, std::uintptr_t wParam, std::intptr_t) {
        if (message == WM_DOWNLOAD_END) {
          result = static_cast<int>(wParam);
        }
      });
  component.notifyWindow = page.get();
  auto transfer = std::make_shared<TransferCancel>();
  ASSERT_TRUE(
      startDownloadWorker(component, state, test::downloadPorts(internet, files), transfer));
  // The second piece is shown: the transfer reads it and waits for the rest.
  ASSERT_TRUE(ui.runUntil(
      [&] { return view.texts[kIdcDownloadProgress].rfind("2 KB of 10 KB", 0) == 0; }, 30s));
  transfer->request();
  ASSERT_TRUE(ui.runUntil([&] { return result >= 0; }, 30s));
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(fs::exists(target));
  EXPECT_FALSE(fs::exists(target.string() + ".part"));
}

TEST_F(HttpDownload, SchemeInCapitalsFails) {
  std::string address = url("/exact.bin");
  address.replace(0, 4, "HTTP");
  EXPECT_EQ(fetch({address}).result, 0);
  EXPECT_FALSE(fs::exists(target));
}

// Two workers in sequence on one component: the second starts from the end
// handler of the first, whose site failed.
TEST_F(HttpDownload, SecondSiteAfterAFailedFirstOne) {
  const Outcome outcome = fetch({url("/missing.bin"), url("/exact.bin")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.messages, (std::vector<std::string>{"1034 0", "1037 0", "1034 0", "1037 1"}));
  EXPECT_EQ(slurp(target), exactBody());
}

TEST_F(HttpDownload, AFailedTransferLeavesTheExistingFileAsItWas) {
  std::ofstream(target) << "the user's report";
  EXPECT_EQ(fetch({url("/dropped.bin")}).result, 0);
  EXPECT_EQ(slurp(target), "the user's report");
  // What arrived is kept apart, for the next attempt at the same URL.
  EXPECT_EQ(fs::file_size(target.string() + ".part"), 3 * 1024u);
}

TEST_F(HttpDownload, LinksInTheDownloadFolderAreReplacedNeverFollowed) {
  std::ofstream(folder / "precious.txt") << "keep me";
  fs::create_directory(folder / "downloads");
  target = folder / "downloads" / "package.bin";
  fs::create_symlink(folder / "precious.txt", target);
  fs::create_symlink(folder / "precious.txt", target.string() + ".part");
  EXPECT_EQ(fetch({url("/exact.bin")}).result, 1);
  EXPECT_EQ(slurp(folder / "precious.txt"), "keep me");
  EXPECT_FALSE(fs::is_symlink(target));
  EXPECT_EQ(slurp(target), exactBody());
  EXPECT_FALSE(fs::exists(fs::symlink_status(target.string() + ".part")));
}

// Free space that a Content-Length exceeds.
class TinyDisk : public PosixFileSystem {
 public:
  bool freeSpace(const std::string&, std::uint64_t& bytes) override {
    bytes = 1000;
    return true;
  }
};

TEST_F(HttpDownload, SizesThatCannotBeTheFileAreRefusedBeforeAnythingIsWritten) {
  Component declared;
  declared.sizeKb = 1;
  limit = plausiblePackageBytes(declared);
  EXPECT_EQ(fetch({url("/endless.bin")}).result, 0);  // announces 10 GiB
  EXPECT_EQ(fetch({url("/sized/" + std::to_string(limit + 1))}).result, 0);
  EXPECT_EQ(fetch({url("/sized/" + std::to_string(limit))}).result, 1);
  fs::remove(target);
  TinyDisk tiny;
  fileSystem = &tiny;
  EXPECT_EQ(fetch({url("/exact.bin")}).result, 0);
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(HttpDownload, AServerThatTricklesIsTooSlow) {
  CurlInternetApi internet(dialogs, options);
  test::FakeNotifyWindow window;
  const std::string address = url("/trickle.bin");
  const std::string path = target.string();
  DownloadJob job;
  job.window = &window;
  job.statusControlId = kIdcDownloadStatus;
  job.url = &address;
  job.targetPath = &path;
  job.minimumSpeedWindow = 2s;
  EXPECT_FALSE(downloadFile(internet, disk, downloadStatusCallback, job));
  EXPECT_EQ(job.outcome, DownloadOutcome::TooSlow);
  EXPECT_EQ(window.texts(kIdcDownloadStatus).back(), "Download failed: the server is too slow.");
  // What arrived stays for a later attempt, never under the package's name.
  EXPECT_FALSE(fs::exists(target));
  EXPECT_EQ(fs::file_size(target.string() + ".part"), job.receivedBytes);
}

// An https peer beside the http one, with a certificate made for the test
// and trusted by this client only.
class HttpsRedirects : public HttpDownload {
 protected:
  void SetUp() override {
    HttpDownload::SetUp();
    const std::string cert = certificates.path() + "/cert.pem";
    const std::string key = certificates.path() + "/key.pem";
    const test::CommandResult made = test::runCommand(
        {"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
         "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    ASSERT_TRUE(https.start({kPython, kPeers + "/http_server.py", cert, key}, 20s));
    options.certificateAuthorities = cert;
  }
  std::string secure(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(https.port()) + path;
  }
  test::TempDir certificates;
  test::PeerProcess https;
};

TEST_F(HttpsRedirects, RedirectsGoToHttpOrHttpsButNeverFromHttpsToHttp) {
  const Outcome upgraded = fetch({url("/redirect-to/" + secure("/exact.bin"))});
  EXPECT_EQ(upgraded.result, 1);
  EXPECT_EQ(slurp(target), exactBody());
  fs::remove(target);

  EXPECT_EQ(fetch({url("/redirect-to/" + secure("/redirect-to/" + url("/exact.bin")))}).result, 0);
  const std::string ftp = "ftp://127.0.0.1:" + std::to_string(test::freeLoopbackPort()) + "/x.cab";
  for (const std::string& location : {ftp, std::string("file:///etc/passwd")}) {
    const Outcome outcome = fetch({url("/redirect-to/" + location)});
    EXPECT_EQ(outcome.result, 0) << location;
    EXPECT_FALSE(outcome.has("1042 Redirecting...")) << location;
  }
  EXPECT_FALSE(fs::exists(target));
}

// The Range headers the server saw for a path, one per request ("-" for none).
std::vector<std::string> rangesSeen(int port, const std::string& path) {
  const test::CommandResult got = test::runCommand(
      {"/usr/bin/curl", "-s", "http://127.0.0.1:" + std::to_string(port) + "/ranges" + path});
  std::vector<std::string> lines;
  std::istringstream in(got.out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The server cuts the first transfer after half the file: what arrived is
// kept, and Retry asks for the rest and completes the file without a gap.
TEST_F(HttpDownload, RetryContinuesACutTransferWithARangeRequest) {
  const std::string path = "/cut/retry/1000003";
  EXPECT_EQ(fetch({url(path)}).result, 0);
  EXPECT_FALSE(fs::exists(target));
  const std::uintmax_t kept = fs::file_size(target.string() + ".part");
  ASSERT_GT(kept, 0u);
  const Outcome retried = fetch({url(path)});
  EXPECT_EQ(retried.result, 1);
  EXPECT_EQ(rangesSeen(server->port(), path),
            (std::vector<std::string>{"-", "bytes=" + std::to_string(kept) + "-"}));
  EXPECT_TRUE(slurp(target) == test::patternedBody(1000003)) << "the file has a gap or an overlap";
  EXPECT_TRUE(std::any_of(retried.texts.begin(), retried.texts.end(), [](const std::string& t) {
    return t.rfind("1067 976 KB of 976 KB received (100%) - ", 0) == 0;
  }));
  // From its first line on, the progress counts what was there already.
  const auto first = std::find_if(retried.texts.begin(), retried.texts.end(),
                                  [](const std::string& t) { return t.rfind("1067 ", 0) == 0; });
  ASSERT_NE(first, retried.texts.end());
  EXPECT_EQ(first->rfind("1067 " + std::to_string(kept / 1024) + " KB of 976 KB received", 0), 0u)
      << *first;
  EXPECT_FALSE(fs::exists(target.string() + ".part"));
  EXPECT_FALSE(fs::exists(target.string() + ".part.source"));
}

TEST_F(HttpDownload, AServerThatIgnoresTheRangeStillGivesTheRightFile) {
  const std::string path = "/ignore-range/retry/700001";
  EXPECT_EQ(fetch({url(path)}).result, 0);
  ASSERT_TRUE(fs::exists(target.string() + ".part"));
  EXPECT_EQ(fetch({url(path)}).result, 1);
  EXPECT_EQ(rangesSeen(server->port(), path).size(), 2u);
  EXPECT_EQ(rangesSeen(server->port(), path).back().rfind("bytes=", 0), 0u);
  EXPECT_TRUE(slurp(target) == test::patternedBody(700001));
}

// Between the cut and the next attempt the server's file was replaced: a
// continuation must never splice the new file onto the old one's start.
// With an ETag, If-Range lets the server send the new file whole; without
// one, a different size shows it, and the next attempt starts afresh.
TEST_F(HttpDownload, AFileReplacedSinceTheCutIsNeverSplicedOntoIt) {
  std::string replaced = test::patternedBody(300000);
  for (char& c : replaced) c = static_cast<char>(c + 1);
  EXPECT_EQ(fetch({url("/replaced/etag/300000")}).result, 0);
  EXPECT_EQ(fetch({url("/replaced/etag/300000")}).result, 1);
  EXPECT_EQ(rangesSeen(server->port(), "/replaced/etag/300000").back(), "bytes=150000-");
  EXPECT_TRUE(slurp(target) == replaced) << "the new file was spliced onto the old one";

  fs::remove(target);
  EXPECT_EQ(fetch({url("/resized/size/300000")}).result, 0);
  EXPECT_EQ(fetch({url("/resized/size/300000")}).result, 0);
  EXPECT_FALSE(fs::exists(target));
  EXPECT_FALSE(fs::exists(target.string() + ".part"));
  EXPECT_EQ(fetch({url("/resized/size/300000")}).result, 1);
  EXPECT_TRUE(slurp(target) == test::patternedBody(305000));
}

// A chunked answer carries no size: it succeeds when its last chunk comes,
// and shows what arrived without a share; one cut before it broke off.
TEST_F(HttpDownload, AChunkedAnswerSucceedsOnlyWhenItEndsCleanly) {
  const Outcome whole = fetch({url("/chunked/300000")});
  EXPECT_EQ(whole.result, 1);
  EXPECT_TRUE(slurp(target) == test::patternedBody(300000));
  EXPECT_TRUE(whole.has("1042 Download successfull"));
  EXPECT_TRUE(std::any_of(whole.texts.begin(), whole.texts.end(), [](const std::string& t) {
    return t.rfind("1067 292 KB of unknown received - ", 0) == 0;
  }));
  fs::remove(target);
  EXPECT_EQ(fetch({url("/chunked-cut/300000")}).result, 0);
  EXPECT_FALSE(fs::exists(target));
}

// An https peer whose certificate a test authority signed for 127.0.0.1
// only; the authority is made by the fixture and trusted only where a test
// names it.
class HttpsDownload : public HttpDownload {
 protected:
  void SetUp() override {
    HttpDownload::SetUp();
    const std::string dir = certificates.path();
    authority = dir + "/ca.pem";
    const std::vector<std::vector<std::string>> steps = {
        {"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
         "/CN=Kestrova Test Authority", "-keyout", dir + "/ca-key.pem", "-out", authority},
        {"/usr/bin/openssl", "req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
         "-keyout", dir + "/key.pem", "-out", dir + "/server.csr"},
        {"/usr/bin/openssl", "x509", "-req", "-in", dir + "/server.csr", "-CA", authority, "-CAkey",
         dir + "/ca-key.pem", "-CAcreateserial", "-days", "2", "-extfile", dir + "/san.cnf", "-out",
         dir + "/cert.pem"}};
    std::ofstream(dir + "/san.cnf") << "subjectAltName=IP:127.0.0.1\n";
    for (const auto& step : steps) {
      const test::CommandResult made = test::runCommand(step);
      ASSERT_EQ(made.exitCode, 0) << made.err;
    }
    ASSERT_TRUE(https.start(
        {kPython, kPeers + "/http_server.py", dir + "/cert.pem", dir + "/key.pem"}, 20s));
    const char* before = std::getenv("SSL_CERT_FILE");
    if (before != nullptr) savedCertFile = before;
  }
  void TearDown() override {
    if (savedCertFile) {
      ::setenv("SSL_CERT_FILE", savedCertFile->c_str(), 1);
    } else {
      ::unsetenv("SSL_CERT_FILE");
    }
    HttpDownload::TearDown();
  }
  std::string secure(const std::string& host, const std::string& path) const {
    return "https://" + host + ":" + std::to_string(https.port()) + path;
  }
  test::TempDir certificates;
  test::PeerProcess https;
  std::string authority;
  std::optional<std::string> savedCertFile;
};

TEST_F(HttpsDownload, TheTestAuthorityIsTrustedWhereSslCertFileNamesIt) {
  ::setenv("SSL_CERT_FILE", authority.c_str(), 1);
  const Outcome outcome = fetch({secure("127.0.0.1", "/pattern/200000")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_TRUE(slurp(target) == test::patternedBody(200000));
}

// Without the authority the server is not trusted: the status line says
// so, and the next site is tried as after any failure.
TEST_F(HttpsDownload, AnUntrustedServerFailsItsSiteClearlyAndTheNextIsTried) {
  ::unsetenv("SSL_CERT_FILE");
  const Outcome outcome = fetch({secure("127.0.0.1", "/pattern/1000"), url("/exact.bin")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.causes.front(), kDownloadEndCertificate);
  EXPECT_TRUE(outcome.has("1042 Certificate not trusted"));
  EXPECT_EQ(slurp(target), exactBody());
}

TEST_F(HttpsDownload, ACertificateForAnotherHostIsRefused) {
  ::setenv("SSL_CERT_FILE", authority.c_str(), 1);
  const Outcome outcome = fetch({secure("localhost", "/pattern/1000")});
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.causes.back(), kDownloadEndCertificate);
  EXPECT_FALSE(fs::exists(target));
  EXPECT_FALSE(fs::exists(target.string() + ".part"));
  ASSERT_FALSE(outcome.texts.empty());
  const std::string status = outcome.texts.back();
  EXPECT_EQ(status.rfind("1042 ", 0), 0u);
  EXPECT_NE(status, "1042 Download failed.");
  EXPECT_NE(status.find("localhost"), std::string::npos) << status;
}

// The first site serves a changed package, the second the right one: the
// file comes from the second, and the changed one is never kept.
TEST_F(HttpDownload, AChangedPackageFailsItsSiteAndTheRightOneIsKept) {
  Sha256Digest digest{};
  hashing.newSha256();
  const auto sha = hashing.newSha256();
  const std::string right = test::patternedBody(150000);
  sha->update(right.data(), right.size());
  ASSERT_TRUE(sha->finish(digest));
  sha256 = digest;
  const Outcome outcome = fetch({url("/pattern/150001"), url("/pattern/150000")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.causes.front(), kDownloadEndHashMismatch);
  EXPECT_TRUE(outcome.has("1042 Package is damaged or was changed (SHA-256 mismatch)."));
  EXPECT_TRUE(slurp(target) == right);

  fs::remove(target);
  const Outcome wrong = fetch({url("/pattern/150001"), url("/exact.bin")});
  EXPECT_EQ(wrong.result, 0);
  EXPECT_EQ(wrong.causes, (std::vector<std::intptr_t>{2, 2}));
  EXPECT_TRUE(fs::is_empty(folder)) << "a changed package is never kept";
}

TEST_F(HttpDownload, AFailureWithNothingExpectedAndNothingReceivedSaysItFailed) {
  const Outcome outcome = fetch({url("/gone.bin")});  // 404, 0 bytes announced and sent
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.texts.back(), "1042 Download failed.");
}

TEST_F(HttpDownload, CredentialsInTheUrlAreNeverShown) {
  const std::string host = "127.0.0.1:" + std::to_string(server->port());
  const Outcome outcome = fetch({"http://kestrova:secret@" + host + "/auth.bin"});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_TRUE(outcome.has("1064 package.bin from " + host));
  for (const std::string& text : outcome.texts) EXPECT_EQ(text.find("secret"), std::string::npos);
}

class FtpDownload : public DownloadPeers {
 protected:
  static void SetUpTestSuite() { startServer("ks-dl-ftp-", {}); }
  // A folder with package.cab of 5000 bytes, served with the extra arguments.
  static void startServer(const std::string& prefix, const std::vector<std::string>& extra) {
    DownloadPeers::SetUpTestSuite();
    root = fs::temp_directory_path() / (prefix + std::to_string(::getpid()));
    fs::create_directories(root);
    std::ofstream(root / "package.cab", std::ios::binary) << std::string(5000, 'f');
    server = std::make_unique<test::PeerProcess>();
    std::vector<std::string> command = {kPython, kPeers + "/ftp_server.py", root.string()};
    command.insert(command.end(), extra.begin(), extra.end());
    ASSERT_TRUE(server->start(command, 20s));
  }
  static void TearDownTestSuite() {
    server.reset();
    fs::remove_all(root);
    fs::remove(root.string() + ".rest-log");
  }
  static std::string url(const std::string& credentials, const std::string& path) {
    return "ftp://" + credentials + "127.0.0.1:" + std::to_string(server->port()) + path;
  }
  static std::unique_ptr<test::PeerProcess> server;
  static fs::path root;
};
std::unique_ptr<test::PeerProcess> FtpDownload::server;
fs::path FtpDownload::root;

TEST_F(FtpDownload, AnonymousDownloadInActiveMode) {
  const Outcome outcome = fetch({url("", "/package.cab")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(slurp(target), std::string(5000, 'f'));
  EXPECT_EQ(outcome.texts.back(), "1042 Download successfull");
}

TEST_F(FtpDownload, CredentialsInTheUrl) {
  EXPECT_EQ(fetch({url("kestrova:secret@", "/package.cab")}).result, 1);
  EXPECT_EQ(fs::file_size(target), 5000u);
}

TEST_F(FtpDownload, WrongCredentialsFail) {
  EXPECT_EQ(fetch({url("kestrova:wrong@", "/package.cab")}).result, 0);
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(FtpDownload, MissingFileFailsBeforeTheTargetIsCreated) {
  EXPECT_EQ(fetch({url("", "/missing.cab")}).result, 0);
  EXPECT_FALSE(fs::exists(target));
}

// The FTP server sends cut-package.cab only half the first time: the next
// fetch of the same URL restarts the transfer there (REST) and the file is
// whole.
TEST_F(FtpDownload, RetryContinuesACutTransferWithRest) {
  const std::string whole = test::patternedBody(400009);
  std::ofstream(root / "cut-package.cab", std::ios::binary) << whole;
  const std::string address = url("", "/cut-package.cab");
  EXPECT_EQ(fetch({address}).result, 0);
  const std::uintmax_t kept = fs::file_size(target.string() + ".part");
  ASSERT_GT(kept, 0u);
  EXPECT_EQ(fetch({address}).result, 1);
  EXPECT_TRUE(slurp(target) == whole) << "the file has a gap or an overlap";
  EXPECT_NE(slurp(root.string() + ".rest-log").find("REST " + std::to_string(kept)),
            std::string::npos);
}

class FtpWithoutSizeDownload : public FtpDownload {
 protected:
  static void SetUpTestSuite() { startServer("ks-dl-ftp-nosize-", {"--no-size"}); }
};

TEST_F(FtpWithoutSizeDownload, TheSizeIsUnknownAndACleanEndIsSuccess) {
  const Outcome outcome = fetch({url("", "/package.cab")});
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(slurp(target), std::string(5000, 'f'));
  EXPECT_TRUE(std::any_of(outcome.texts.begin(), outcome.texts.end(), [](const std::string& t) {
    return t.rfind("1067 4 KB of unknown received - ", 0) == 0;
  }));
  EXPECT_EQ(outcome.texts.back(), "1042 Download successfull");
  // A missing file shows when it is fetched: the file there stays.
  EXPECT_EQ(fetch({url("", "/missing.cab")}).result, 0);
  EXPECT_EQ(slurp(target), std::string(5000, 'f'));
}

class ProxyDownload : public HttpDownload {
 protected:
  static void SetUpTestSuite() {
    HttpDownload::SetUpTestSuite();
    config = fs::temp_directory_path() / ("ks-dl-proxy-" + std::to_string(::getpid()));
    fs::create_directories(config);
    port = test::freeLoopbackPort();
    std::ofstream(config / "tinyproxy.conf")
        << "Port " << port << "\nListen 127.0.0.1\nTimeout 60\nMaxClients 10\n"
        << "Allow 127.0.0.1\nLogLevel Critical\nPidFile \"" << (config / "pid").string()
        << "\"\nLogFile \"" << (config / "log").string() << "\"\nViaProxyName \"ks\"\n";
    proxy = std::make_unique<ProxyProcess>();
    ASSERT_TRUE(proxy->start(config / "tinyproxy.conf"));
    ASSERT_TRUE(test::waitForListener(port, 20s));
  }
  static void TearDownTestSuite() {
    proxy.reset();
    fs::remove_all(config);
    HttpDownload::TearDownTestSuite();
  }
  // tinyproxy in the foreground; it prints no port, so it is given one.
  class ProxyProcess {
   public:
    bool start(const fs::path& conf) {
      pid_ = ::fork();
      if (pid_ == 0) {
        ::execl("/usr/bin/tinyproxy", "tinyproxy", "-d", "-c", conf.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
      }
      return pid_ > 0;
    }
    ~ProxyProcess() {
      if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
      }
    }

   private:
    pid_t pid_ = -1;
  };
  static std::unique_ptr<ProxyProcess> proxy;
  static fs::path config;
  static int port;
};
std::unique_ptr<ProxyDownload::ProxyProcess> ProxyDownload::proxy;
fs::path ProxyDownload::config;
int ProxyDownload::port = 0;

TEST_F(ProxyDownload, HttpThroughTheProxy) {
  const Outcome outcome = fetch({url("/exact.bin")}, "127.0.0.1:" + std::to_string(port));
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(slurp(target), exactBody());
}

TEST_F(ProxyDownload, ProxyThatIsNotThereFails) {
  EXPECT_EQ(
      fetch({url("/exact.bin")}, "127.0.0.1:" + std::to_string(test::freeLoopbackPort())).result,
      0);
}

}  // namespace
}  // namespace ks

// The transfer against a scripted client: the order of calls, what ends up
// in the target file, and when a transfer fails.

#include "download/download_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "download/download_status.h"
#include "download/target_file.h"
#include "tests/support/fake_internet_api.h"
#include "tests/support/fake_notify_window.h"
#include "tests/support/native_file_system.h"
#include "tests/support/patterned_body.h"
#include "tests/support/temp_dir.h"

namespace ks {
namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

class DownloadFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(temp.path());
    target = (folder / "file.cab").string();
    test::pointJobAtPage(job, window, &url, &target);
  }

  bool run(DownloadStatusCallback callback = downloadStatusCallback) {
    return downloadFile(api, files, callback, job);
  }
  std::string stored() const {
    std::ifstream in(target, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }
  void serveHttp(const std::string& body) {
    api.script.body = body;
    api.script.contentLength = std::to_string(body.size());
  }
  long count(const std::string& call) const {
    return std::count(api.calls.begin(), api.calls.end(), call);
  }

  test::TempDir temp;
  fs::path folder;
  std::string url = "http://example.test/pkg/file.cab";
  std::string target;
  test::FakeInternetApi api;
  test::NativeFileSystem files;
  test::FakeNotifyWindow window;
  DownloadJob job;
};

TEST_F(DownloadFileTest, HttpTransferCallsTheClientInOrder) {
  serveHttp("abc");
  EXPECT_TRUE(run());
  EXPECT_EQ(api.calls,
            (Calls{"crackUrl http://example.test/pkg/file.cab", "attemptConnect",
                   "open Kestrova Setup preconfig", "connect http example.test:80 job",
                   "setStatusCallback connection", "httpOpenRequest /pkg/file.cab job",
                   "setStatusCallback request", "httpSendRequest", "errorDialog 0",
                   "httpQueryInfo content-length 32", "httpQueryInfo status-code 32",
                   "httpQueryInfo etag 256", "httpQueryInfo last-modified 256", "readFile 1024",
                   "readFile 1024", "close request", "close connection", "close internet"}));
  EXPECT_EQ(stored(), "abc");
  EXPECT_TRUE(api.openHandles().empty());
}

TEST_F(DownloadFileTest, HttpTransferWritesEveryLineInOrder) {
  serveHttp(std::string(1500, 'x'));
  ASSERT_TRUE(run());
  EXPECT_EQ(
      window.texts(1042),
      (std::vector<std::string>{
          "Resolving Name ...", "Name resolved.", "Connecting ...", "Connected.", "Downloading ...",
          "Downloading ...", "Downloading ...", "Download successfull", "Download successfull"}));
  EXPECT_EQ(window.texts(1064), std::vector<std::string>{"file.cab from example.test"});
  EXPECT_EQ(window.texts(1065), std::vector<std::string>{folder.string()});
  const std::vector<std::string> progress = window.texts(1067);
  ASSERT_EQ(progress.size(), 5u);
  // The size is known only after the send; each block's response restarts
  // the clock until a block was counted.
  EXPECT_EQ(progress[0], "0 KB of 0 KB received (0%) - 0.00 KB/s");
  EXPECT_EQ(progress[1], "0 KB of 1 KB received (0%) - 0.00 KB/s");
  EXPECT_EQ(progress[2].rfind("1 KB of 1 KB received (68%) - ", 0), 0u);
  EXPECT_EQ(progress[3].rfind("1 KB of 1 KB received (100%) - ", 0), 0u);
  EXPECT_EQ(window.events.front(), "bar 1032 0");
}

TEST_F(DownloadFileTest, WithoutCallbackNothingIsShown) {
  serveHttp("abc");
  EXPECT_TRUE(run(nullptr));
  EXPECT_TRUE(window.events.empty());
  EXPECT_EQ(count("setStatusCallback request"), 0);
}

TEST_F(DownloadFileTest, ExactMultipleOf1024EndsWithAnEmptyRead) {
  serveHttp(std::string(3072, 'k'));
  EXPECT_TRUE(run());
  EXPECT_EQ(count("readFile 1024"), 4);
  EXPECT_EQ(stored().size(), 3072u);
  EXPECT_EQ(job.receivedBytes, 3072u);
}

TEST_F(DownloadFileTest, FtpTransferFindsTheSizeThenOpensTheUrl) {
  url = "ftp://user:pw@example.test/pkg/file.cab";
  api.script.parts.port = 21;
  api.script.ftpFileSize = 5;
  api.script.body = "12345";
  EXPECT_TRUE(run());
  EXPECT_EQ(
      api.calls,
      (Calls{"crackUrl ftp://user:pw@example.test/pkg/file.cab", "attemptConnect",
             "open Kestrova Setup preconfig", "connect ftp example.test:21 no-context",
             "ftpFindFirstFile /pkg/file.cab", "close find",
             "openUrl ftp://user:pw@example.test/pkg/file.cab job", "setStatusCallback url",
             "readFile 1024", "readFile 1024", "close url", "close connection", "close internet"}));
  EXPECT_EQ(job.expectedSize, 5);
  EXPECT_EQ(stored(), "12345");
  // The callback arrives after the data handle exists: no source or folder line.
  EXPECT_TRUE(window.texts(1064).empty());
}

TEST_F(DownloadFileTest, FtpFileNotFoundFailsBeforeTheFileIsCreated) {
  url = "ftp://example.test/missing.cab";
  api.script.ftpFileFound = false;
  EXPECT_FALSE(run());
  EXPECT_FALSE(fs::exists(target));
  EXPECT_TRUE(api.openHandles().empty());
}

TEST_F(DownloadFileTest, SchemeInCapitalsIsNotDownloadable) {
  url = "HTTP://example.test/pkg/file.cab";
  serveHttp("abc");
  EXPECT_FALSE(run());
  EXPECT_FALSE(fs::exists(target));
  EXPECT_TRUE(api.openHandles().empty());
}

TEST_F(DownloadFileTest, UrlThatCannotBeSplitFailsAtOnce) {
  api.script.urlKnown = false;
  EXPECT_FALSE(run());
  EXPECT_EQ(api.calls, Calls{"crackUrl http://example.test/pkg/file.cab"});
}

TEST_F(DownloadFileTest, NoNetworkFailsBeforeOpening) {
  api.script.attemptConnectResult = 5;
  EXPECT_FALSE(run());
  EXPECT_EQ(api.calls.back(), "attemptConnect");
}

TEST_F(DownloadFileTest, ProxyTextIsHandedOverUnchanged) {
  const std::string proxy = "proxy.example.test";  // no port
  job.proxy = &proxy;
  serveHttp("abc");
  EXPECT_TRUE(run());
  EXPECT_EQ(api.calls[2], "open Kestrova Setup proxy proxy.example.test");
}

TEST_F(DownloadFileTest, EmptyProxyTextUsesTheSystemSettings) {
  const std::string proxy;
  job.proxy = &proxy;
  serveHttp("abc");
  EXPECT_TRUE(run());
  EXPECT_EQ(api.calls[2], "open Kestrova Setup preconfig");
}

TEST_F(DownloadFileTest, PasswordGivenSendsAgain) {
  api.script.dialogAnswers = {kErrorInternetForceRetry, kErrorInternetForceRetry};
  serveHttp("secret");
  EXPECT_TRUE(run());
  EXPECT_EQ(count("httpSendRequest"), 3);
  EXPECT_EQ(stored(), "secret");
}

TEST_F(DownloadFileTest, PasswordDeclinedFailsWithoutStoringTheErrorPage) {
  api.script.dialogAnswers = {kErrorCancelled};
  api.script.statusCode = "401";
  serveHttp("<html>Unauthorized</html>");
  EXPECT_FALSE(run());
  EXPECT_EQ(count("httpSendRequest"), 1);
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(DownloadFileTest, ErrorPageIsNeverStoredAndAnExistingFileStays) {
  std::ofstream(target) << "old package";
  api.script.statusCode = "404";
  serveHttp("<html>Not Found</html>");
  EXPECT_FALSE(run());
  EXPECT_EQ(stored(), "old package");
  EXPECT_EQ(window.texts(1042).back(), "Download failed.");
}

// Without a Content-Length only a chunked answer marks its own end; any
// other could have been cut short unnoticed.
TEST_F(DownloadFileTest, WithoutContentLengthOnlyAChunkedAnswerIsTaken) {
  std::ofstream(target) << "old package";
  api.script.body = "abc";
  EXPECT_FALSE(run());
  EXPECT_EQ(stored(), "old package");
  EXPECT_TRUE(api.openHandles().empty());

  test::FakeInternetApi chunked;
  chunked.script.body = std::string(3000, 'c');
  chunked.script.transferEncoding = "chunked";
  ASSERT_TRUE(downloadFile(chunked, files, downloadStatusCallback, job));
  EXPECT_EQ(stored(), std::string(3000, 'c'));
  EXPECT_EQ(window.texts(1067).back().rfind("2 KB of unknown received - ", 0), 0u);
}

TEST_F(DownloadFileTest, ContentLengthTooLongForItsBufferFails) {
  api.script.body = "abc";
  api.script.contentLength = std::string(31, '0') + "3";
  EXPECT_FALSE(run());
}

TEST_F(DownloadFileTest, BodyShorterThanItsContentLengthFails) {
  api.script.body = std::string(1500, 'd');
  api.script.contentLength = "4096";
  EXPECT_FALSE(run());
  EXPECT_FALSE(fs::exists(target));
  EXPECT_EQ(window.texts(1042).back(), "Download failed.");
}

TEST_F(DownloadFileTest, ABodyLongerThanItsContentLengthIsStoppedThere) {
  api.script.body = std::string(5000, 'l');
  api.script.contentLength = "1500";
  EXPECT_FALSE(run());
  EXPECT_EQ(count("readFile 1024"), 2) << "stopped at the block that passed the length";
  EXPECT_FALSE(fs::exists(target));
}

class ResumedDownload : public DownloadFileTest {
 protected:
  // The first attempt breaks off after two blocks: 2048 bytes are kept.
  void SetUp() override {
    DownloadFileTest::SetUp();
    serveHttp(whole);
    api.script.failReadAfter = 2500;
    ASSERT_FALSE(run());
    ASSERT_FALSE(fs::exists(target));
    ASSERT_EQ(fs::file_size(target + ".part"), 2048u);
    EXPECT_TRUE(api.openHandles().empty());
  }
  // The next attempt's server, answering with status and body.
  bool again(const std::string& status, const std::string& body,
             const std::optional<std::string>& range = std::nullopt) {
    next.script.statusCode = status;
    next.script.body = body;
    next.script.contentLength = std::to_string(body.size());
    next.script.contentRange = range;
    return downloadFile(next, files, downloadStatusCallback, job);
  }
  bool askedForTheRest() const {
    return std::count(next.calls.begin(), next.calls.end(), "httpSendRequest Range: bytes=2048-");
  }
  const std::string whole = test::patternedBody(4000);
  test::FakeInternetApi next;
};

TEST_F(ResumedDownload, APieceFromAnotherPlaceIsRefusedAndThePartialFileGoes) {
  EXPECT_FALSE(again("206", whole.substr(1024), "bytes 1024-3999/4000"));
  EXPECT_FALSE(fs::exists(target));
  EXPECT_FALSE(fs::exists(target + ".part"));
  test::FakeInternetApi fresh;
  fresh.script.body = whole;
  fresh.script.contentLength = std::to_string(whole.size());
  ASSERT_TRUE(downloadFile(fresh, files, downloadStatusCallback, job));
  EXPECT_EQ(std::count(fresh.calls.begin(), fresh.calls.end(), "httpSendRequest"), 1);
}

// A server that is busy for a moment leaves what the first attempt kept for
// the attempt after, which gets the rest.
TEST_F(ResumedDownload, AnErrorAnswerKeepsThePartialFileForTheNextAttempt) {
  EXPECT_FALSE(again("503", "<html>Busy</html>"));
  EXPECT_FALSE(fs::exists(target));
  ASSERT_EQ(fs::file_size(target + ".part"), 2048u);
  test::FakeInternetApi later;
  later.script.statusCode = "206";
  later.script.body = whole.substr(2048);
  later.script.contentLength = std::to_string(whole.size() - 2048);
  later.script.contentRange = "bytes 2048-3999/4000";
  ASSERT_TRUE(downloadFile(later, files, downloadStatusCallback, job));
  EXPECT_EQ(stored(), whole);
}

TEST_F(ResumedDownload, AnotherUrlNeverContinuesThePartialFile) {
  url = "http://mirror.test/pkg/file.cab";
  ASSERT_TRUE(again("200", whole));
  EXPECT_FALSE(askedForTheRest());
  EXPECT_EQ(stored(), whole);
}

// A run that ended after the last byte but before the package got its name
// left a whole NAME.part: there is no rest to ask for (a server answers
// such a Range with 416), so it is fetched again.
TEST_F(DownloadFileTest, AWholePartialFileIsFetchedAgainNotContinued) {
  const std::string whole = test::patternedBody(4000);
  {
    TargetFile left(files);
    ASSERT_TRUE(left.create(target, url, PartialOrigin{4000, "\"v1\""}));
    ASSERT_TRUE(left.write(whole.data(), whole.size()));
    left.keep();
  }
  serveHttp(whole);
  ASSERT_TRUE(run());
  EXPECT_EQ(count("httpSendRequest"), 1) << "asked for a rest beyond the end";
  EXPECT_EQ(stored(), whole);
}

// A disk that is full: no write goes through.
class FullDisk : public test::NativeFileSystem {
 public:
  std::int32_t writeHandle(std::int32_t, const void*, std::uint32_t) override { return -1; }
};

TEST_F(DownloadFileTest, FailedWriteFails) {
  // A small file fails when it is put in place, one larger than the write
  // buffer while it is written.
  for (std::size_t size : {std::size_t{100}, std::size_t{1024 * 1024}}) {
    test::FakeInternetApi server;
    FullDisk full;
    server.script.body = std::string(size, 'w');
    server.script.contentLength = std::to_string(size);
    EXPECT_FALSE(downloadFile(server, full, downloadStatusCallback, job)) << size;
    EXPECT_TRUE(fs::is_empty(folder)) << size;
  }
}

// The status line names the file and the system's reason, not the network.
TEST_F(DownloadFileTest, TargetThatCannotBeCreatedFailsNamingTheFileAndWhy) {
  target = (folder / "no-such-folder" / "file.cab").string();
  serveHttp("abc");
  EXPECT_FALSE(run());
  EXPECT_TRUE(api.openHandles().empty());
  EXPECT_EQ(job.outcome, DownloadOutcome::WriteFailed);
  const std::string named = "Could not write " + target + ": ";
  EXPECT_EQ(job.failureText.substr(0, named.size()), named);
  EXPECT_GT(job.failureText.size(), named.size());  // "No such file or directory" on Linux
  EXPECT_EQ(statusText(job, kInternetStatusHandleClosing), job.failureText);
}

}  // namespace
}  // namespace ks

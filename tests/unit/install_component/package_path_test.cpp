#include <gtest/gtest.h>

#include "catalog/catalog_records.h"
#include "tests/support/fake_platform.h"
#include "tests/support/native_path.h"

namespace ks {
namespace {

bool pathFor(const std::string& url, std::string& path) {
  Component component;
  component.urls[0] = url;
  test::FakeFileSystem files;  // 259 bytes at most
  return makePackagePath(files, test::nativePath("/home/user/dl"), component, path);
}

TEST(PackagePath, TheNameAfterTheLastSlashJoinsTheFolder) {
  std::string path;
  ASSERT_TRUE(pathFor("http://example.org/kestrova/app.cab", path));
  EXPECT_EQ(path, test::nativePath("/home/user/dl/app.cab"));
  ASSERT_TRUE(pathFor("ftp://u:p@example.org/a/b/help..cab", path));
  EXPECT_EQ(path, test::nativePath("/home/user/dl/help..cab"));
}

TEST(PackagePath, NamesThatWouldLeaveTheFolderAreRefused) {
  std::string path = "unchanged";
  for (const char* url : {"http://example.org/kestrova/", "http://example.org/..",
                          "http://example.org/.", "noslash", ""}) {
    EXPECT_FALSE(pathFor(url, path)) << url;
  }
  EXPECT_EQ(path, "unchanged");
}

TEST(PackagePath, APathTooLongForItsBufferIsRefused) {
  std::string path;
  EXPECT_FALSE(pathFor("http://h/" + std::string(250, 'n'), path));
  EXPECT_TRUE(pathFor("http://h/" + std::string(245, 'n'), path));
  EXPECT_EQ(path.size(), 259u);
}

}  // namespace
}  // namespace ks

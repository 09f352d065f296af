// deleteTree and the uninstall refusals on a real file system in a temporary folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/uninstall.h"
#include "tests/support/fake_platform.h"
#include "tests/support/native_file_system.h"
#include "tests/support/temp_dir.h"

namespace ks {
namespace {

namespace fs = std::filesystem;

class DeleteTreeOnDisk : public ::testing::Test {
 protected:
  DeleteTreeOnDisk() {
    context.platform = fakes.ports();
    context.platform.fileSystem = &files;
  }
  std::string at(const std::string& relative) const { return temp.path() + "/" + relative; }

  test::TempDir temp;
  test::FakePlatform fakes;
  test::NativeFileSystem files;
  SetupContext context;
};

TEST_F(DeleteTreeOnDisk, AHomeReachedThroughALinkIsNeverRemoved) {
  temp.write("real-home/notes.txt", "the user's own notes");
  std::error_code error;
  fs::create_directory_symlink(at("real-home"), at("home-link"), error);
  if (error) GTEST_SKIP() << "no symbolic links here (wine): " << error.message();
  fakes.systemInfo.homeDir = at("home-link");
  for (const std::string& spelling : {at("real-home"), at("real-home/"), at("./real-home/."),
                                      at("home-link/../real-home")}) {
    fakes.registry.createKey(RegistryRoot::CurrentUser, kProductKey);
    fakes.registry.createKey(RegistryRoot::LocalMachine, kUninstallKey);
    context.state.installDir = spelling;
    uninstallApplication(context);
    EXPECT_TRUE(fs::exists(at("real-home/notes.txt"))) << spelling;
  }
}

TEST_F(DeleteTreeOnDisk, ASymlinkIsRemovedAsALinkAndItsTargetIsUntouched) {
  temp.write("outside/precious.txt", "keep me");
  temp.write("install/sub/file.txt", "x");
  std::error_code error;
  fs::create_directory_symlink(at("outside"), at("install/link-to-outside"), error);
  if (!error) fs::create_symlink(at("outside/precious.txt"), at("install/sub/file-link"), error);
  if (error) GTEST_SKIP() << "no symbolic links here (wine): " << error.message();
  deleteTree(context, at("install"), "");
  EXPECT_FALSE(fs::exists(fs::symlink_status(at("install"))));
  EXPECT_TRUE(fs::exists(at("outside/precious.txt")));
}

TEST_F(DeleteTreeOnDisk, CopyReplacesButNeverCopiesAFileOntoItself) {
  const std::string source = temp.write("setup.exe", "new program");
  const std::string target = temp.write("install/setup.exe", "an older and longer program");
  ASSERT_TRUE(files.copyFile(source, at("install"), "setup.exe"));
  std::ifstream in(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new program");
  EXPECT_FALSE(files.copyFile(target, at("install"), "setup.exe"));
  std::ifstream again(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), "new program");
  EXPECT_FALSE(files.copyFile(source, at("missing"), "setup.exe"));
  EXPECT_FALSE(files.copyFile(at("none"), at("install"), "none"));
  EXPECT_FALSE(fs::exists(at("install/none.ks-tmp")));
}

}  // namespace
}  // namespace ks

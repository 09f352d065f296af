// ksetup-tool cab create, list and extract, run as a publisher runs them:
// every fixture is made by the tool itself.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/posix/run_command.h"

namespace ks {
namespace {

using test::runCommand;

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string noise(std::size_t size, uint32_t seed) {
  std::string data(size, '\0');
  uint32_t state = seed * 2654435761u + 1;
  for (char& c : data) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    c = static_cast<char>(state);
  }
  return data;
}

std::string text(std::size_t size) {
  std::string data;
  for (int line = 0; data.size() < size; ++line)
    data += "line " + std::to_string(line) + ": the quick brown fox\r\n";
  data.resize(size);
  return data;
}

struct Shape {
  std::string name;
  std::string content;
};

std::vector<Shape> dataShapes() {
  std::string runs(300000, 'r');
  for (std::size_t i = 0; i < runs.size(); i += 4093) runs[i] = 'x';
  return {{"empty.dat", ""},
          {"tiny.txt", "hi"},
          {"block.bin", noise(32768, 1)},
          {"block1.bin", noise(32769, 2)},
          {"multi.txt", text(3 * 1024 * 1024 + 17)},
          {"noise.bin", noise(400000, 3)},
          {"runs.dat", runs}};
}

class CabToolTest : public ::testing::Test {
 protected:
  std::vector<std::string> writeShapes(const std::vector<Shape>& shapes) {
    std::vector<std::string> paths;
    for (const Shape& shape : shapes)
      paths.push_back(temp.write("in/" + shape.name, shape.content));
    return paths;
  }
  test::CommandResult create(const std::vector<std::string>& options,
                             const std::vector<std::string>& inputs,
                             const std::string& out = "pkg.cab") {
    std::vector<std::string> argv = {KSETUP_TOOL, "cab", "create"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(temp.path() + "/" + out);
    argv.insert(argv.end(), inputs.begin(), inputs.end());
    return runCommand(argv);
  }
  test::CommandResult extract(const std::string& cabinet, const std::string& destination) {
    std::filesystem::create_directories(destination);
    return runCommand({KSETUP_TOOL, "cab", "extract", cabinet, destination});
  }

  test::TempDir temp;
};

class RoundTripTest : public CabToolTest,
                      public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(RoundTripTest, EveryDataShapeComesBackUnchanged) {
  const std::vector<Shape> shapes = dataShapes();
  ASSERT_EQ(create(GetParam(), writeShapes(shapes)).exitCode, 0);
  const auto result = extract(temp.path() + "/pkg.cab", temp.path() + "/out");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  for (const Shape& shape : shapes)
    EXPECT_TRUE(readAll(temp.path() + "/out/" + shape.name) == shape.content) << shape.name;
}

TEST_P(RoundTripTest, ASpanningSetComesBackCabinetByCabinet) {
  std::vector<std::string> options = GetParam();
  options.insert(options.end(), {"--max-size", "100000"});
  const std::vector<Shape> shapes = {{"a.bin", noise(150000, 5)}, {"b.txt", text(500000)}};
  ASSERT_EQ(create(options, writeShapes(shapes)).exitCode, 0);
  ASSERT_TRUE(std::filesystem::exists(temp.path() + "/pkg2.cab"));
  // Each cabinet of the set is extracted in turn, as a publisher would.
  std::string name = temp.path() + "/pkg.cab";
  for (int i = 2; std::filesystem::exists(name); ++i) {
    const auto result = extract(name, temp.path() + "/out");
    ASSERT_EQ(result.exitCode, 0) << name << result.err;
    name = temp.path() + "/pkg" + std::to_string(i) + ".cab";
  }
  for (const Shape& shape : shapes)
    EXPECT_TRUE(readAll(temp.path() + "/out/" + shape.name) == shape.content) << shape.name;
}

INSTANTIATE_TEST_SUITE_P(Compressions, RoundTripTest,
                         ::testing::Values(std::vector<std::string>{"--store"},
                                           std::vector<std::string>{"--mszip"},
                                           std::vector<std::string>{},
                                           std::vector<std::string>{"--quantum"},
                                           std::vector<std::string>{"--quantum=10"},
                                           std::vector<std::string>{"--quantum=16"}));

TEST_F(CabToolTest, ListShowsOneLinePerEntry) {
  const std::string a = temp.write("in/a.txt", "abc");
  const std::string b = temp.write("in/b.txt", std::string(5000, 'b'));
  ::chmod(b.c_str(), 0444);
  ASSERT_EQ(create({"--store", "--reserve", "4,2,1"}, {a, "plugins/b.txt=" + b}).exitCode, 0);
  const auto result = runCommand({KSETUP_TOOL, "cab", "list", temp.path() + "/pkg.cab"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::istringstream lines(result.out);
  std::string first, second, third;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_FALSE(std::getline(lines, third));
  EXPECT_NE(first.find("         3 "), std::string::npos) << first;
  EXPECT_NE(first.find(" ---a- "), std::string::npos) << first;
  EXPECT_NE(first.find(" none "), std::string::npos) << first;
  EXPECT_EQ(first.substr(first.size() - 6), " a.txt");
  EXPECT_NE(second.find("      5000 "), std::string::npos) << second;
  EXPECT_NE(second.find(" r--a- "), std::string::npos) << second;
  EXPECT_EQ(second.substr(second.size() - 14), " plugins\\b.txt");
}

TEST_F(CabToolTest, NamesThatWouldDriveTheTerminalAreListedHarmlessAndNeverExtracted) {
  const std::string file = temp.write("in/a.txt", "evil");
  ASSERT_EQ(create({"--store"}, {"clear\x1b[2J\x1b]0;owned\x07.txt=" + file}).exitCode, 0);
  const auto listed = runCommand({KSETUP_TOOL, "cab", "list", temp.path() + "/pkg.cab"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_EQ(listed.out.find_first_of("\x1b\x07"), std::string::npos);
  EXPECT_NE(listed.out.find(" clear?[2J?]0;owned?.txt\n"), std::string::npos) << listed.out;
  EXPECT_EQ(extract(temp.path() + "/pkg.cab", temp.path() + "/out").exitCode, 1);
  EXPECT_TRUE(std::filesystem::is_empty(temp.path() + "/out"));
}

TEST_F(CabToolTest, ListNamesTheCompressionAndTheContinuedFolders) {
  const std::string big = temp.write("in/big.bin", noise(120000, 9));
  ASSERT_EQ(create({"--mszip", "--max-size", "60000"}, {big}).exitCode, 0);
  const auto first = runCommand({KSETUP_TOOL, "cab", "list", temp.path() + "/pkg.cab"});
  EXPECT_NE(first.out.find(" next MSZIP "), std::string::npos) << first.out;
  const auto second = runCommand({KSETUP_TOOL, "cab", "list", temp.path() + "/pkg2.cab"});
  EXPECT_NE(second.out.find(" both MSZIP "), std::string::npos) << second.out;

  ASSERT_EQ(create({"--quantum=12"}, {big}, "q.cab").exitCode, 0);
  const auto quantum = runCommand({KSETUP_TOOL, "cab", "list", temp.path() + "/q.cab"});
  EXPECT_NE(quantum.out.find(" 0 Quantum/12 "), std::string::npos) << quantum.out;
}

TEST_F(CabToolTest, ExtractReportsTheErrorCodeName) {
  const std::string page = temp.write("page.cab", "<html>404</html>");
  auto result = extract(page, temp.path() + "/out");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "CAB_ERROR_NOT_A_CABINET\n");

  const std::string file = temp.write("in/a.txt", text(5000));
  ASSERT_EQ(create({"--store"}, {file}).exitCode, 0);
  std::string bytes = readAll(temp.path() + "/pkg.cab");
  bytes[bytes.size() - 100] ^= 0x40;  // a data byte: the checksum no longer matches
  temp.write("bad.cab", bytes);
  result = extract(temp.path() + "/bad.cab", temp.path() + "/out");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "CAB_ERROR_CORRUPT_CABINET\n");

  result = extract(temp.path() + "/missing.cab", temp.path() + "/out");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "CAB_ERROR_CABINET_NOT_FOUND\n");
}

TEST_F(CabToolTest, ExtractRefusesNamesThatLeaveTheDestination) {
  const std::string file = temp.write("in/a.txt", "evil");
  ASSERT_EQ(create({"--store"}, {"../escape.txt=" + file}).exitCode, 0);
  const auto result = extract(temp.path() + "/pkg.cab", temp.path() + "/out");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(temp.path() + "/escape.txt"));
}

TEST_F(CabToolTest, ExtractStampsTheStoredModificationTime) {
  const std::string file = temp.write("in/a.txt", "dated");
  const auto stamp = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  std::filesystem::last_write_time(file, stamp);
  ASSERT_EQ(create({"--store"}, {file}).exitCode, 0);
  ASSERT_EQ(extract(temp.path() + "/pkg.cab", temp.path() + "/out").exitCode, 0);
  const auto extracted = std::filesystem::last_write_time(temp.path() + "/out/a.txt");
  EXPECT_LE(std::chrono::abs(extracted - stamp), std::chrono::seconds(2));
}

TEST_F(CabToolTest, BadUsageIsRefused) {
  EXPECT_EQ(runCommand({KSETUP_TOOL, "cab"}).exitCode, 2);
  EXPECT_EQ(runCommand({KSETUP_TOOL, "cab", "frobnicate"}).exitCode, 2);
  EXPECT_EQ(runCommand({KSETUP_TOOL, "cab", "create", "--quantum=9", "x.cab", "y"}).exitCode, 2);
  EXPECT_EQ(runCommand({KSETUP_TOOL, "cab", "create", "--reserve", "1,2", "x.cab", "y"}).exitCode,
            2);
  EXPECT_EQ(create({}, {temp.path() + "/missing"}).exitCode, 1);
}

}  // namespace
}  // namespace ks

// A small command-line program whose only purpose is to be compiled: the
// decoder tests and benchmarks use its MinGW-w64 executable as a sample of
// real machine code (short matches mixed with literals).
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <locale>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::map<std::string, int> countWords(const std::vector<std::string>& lines) {
  std::map<std::string, int> counts;
  const std::regex word("[A-Za-z]+");
  for (const std::string& line : lines) {
    for (std::sregex_iterator it(line.begin(), line.end(), word), end; it != end; ++it) {
      ++counts[it->str()];
    }
  }
  return counts;
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  const auto started = std::chrono::steady_clock::now();
  std::vector<std::string> lines;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path path(argv[i]);
    if (std::filesystem::is_regular_file(path)) {
      std::vector<std::string> more = readLines(path);
      lines.insert(lines.end(), more.begin(), more.end());
    } else {
      lines.push_back(argv[i]);
    }
  }
  std::map<std::string, int> counts;
  std::thread worker([&] { counts = countWords(lines); });
  worker.join();
  std::vector<std::pair<std::string, int>> sorted(counts.begin(), counts.end());
  std::mt19937 random(42);
  std::shuffle(sorted.begin(), sorted.end(), random);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  std::ostringstream out;
  out.imbue(std::locale::classic());
  for (const auto& [word, count] : sorted) out << std::setw(20) << word << ' ' << count << '\n';
  const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
  out << std::fixed << std::setprecision(3) << elapsed.count() << " s\n";
  std::cout << out.str();
  return 0;
}

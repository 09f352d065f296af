#pragma once
// A cabinet reader on in-memory files: cabinets made by our writer, a
// notification callback that records what it is told and answers as each
// test scripts it, and checks that nothing leaks.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cabinet/cabinet.h"
#include "tests/support/memory_cabinet_files.h"
#include "tools/cabwriter/cabinet_writer.h"

namespace ks::test {

struct NotifyEvent {
  int32_t kind = 0;
  std::string text1;
  std::string text2;
  int32_t size = 0;
  uint16_t attributes = 0;
  uint16_t cabinetIndex = 0;
  int32_t error = 0;
};

// Data shapes for the files of a cabinet.
std::vector<uint8_t> textData(std::size_t size, uint32_t seed = 1);
std::vector<uint8_t> noiseData(std::size_t size, uint32_t seed = 1);

cabwriter::WriterFile makeFile(const std::string& name, std::vector<uint8_t> data,
                               uint16_t attributes = 0x20);

class CabinetReaderTest : public ::testing::Test {
 protected:
  using Answer = std::function<std::optional<int32_t>(int32_t kind, CabinetNotification& n)>;
  using Hook = int32_t (*)(CabinetHookInfo*);

  void SetUp() override;
  void TearDown() override;

  // Writes the cabinets into the in-memory files under their own names.
  std::vector<cabwriter::CabinetImage> store(const std::vector<cabwriter::WriterFile>& files,
                                             cabwriter::WriterOptions options = {});
  // cabinetCopy of `name` (path empty) with the recording callback.
  int32_t copy(const std::string& name, Hook hook = nullptr, intptr_t userValue = 0);
  // The bytes extracted for a stored name ("" when the file was never written).
  std::vector<uint8_t> extracted(const std::string& name) const;
  bool wasExtracted(const std::string& name) const;
  std::vector<int32_t> kinds() const;
  std::vector<uint8_t>& cabinetBytes(const std::string& name);

  MemoryCabinetFiles& files() { return MemoryCabinetFiles::instance(); }

  CabinetError error{};
  CabinetDecoder* context = nullptr;
  std::vector<NotifyEvent> events;
  Answer answer;  // first say; std::nullopt falls back to the default behaviour

  static CabinetReaderTest* current;
  static int32_t notify(int32_t kind, CabinetNotification* n);
  int32_t defaultAnswer(int32_t kind, CabinetNotification& n);
};

// Little-endian patching of cabinet bytes.
uint16_t getU16(const std::vector<uint8_t>& bytes, std::size_t at);
uint32_t getU32(const std::vector<uint8_t>& bytes, std::size_t at);
void putU16(std::vector<uint8_t>& bytes, std::size_t at, uint16_t value);
void putU32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value);
// Offsets in a cabinet without reserve fields or neighbour names.
inline constexpr std::size_t kFirstFolderEntry = 36;
std::size_t firstDataBlock(const std::vector<uint8_t>& cabinet);
std::size_t firstFileEntry(const std::vector<uint8_t>& cabinet);

}  // namespace ks::test

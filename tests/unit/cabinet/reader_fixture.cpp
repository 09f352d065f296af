#include "tests/unit/cabinet/reader_fixture.h"

namespace ks::test {

CabinetReaderTest* CabinetReaderTest::current = nullptr;

namespace {
const std::string kOutputPrefix = "out\\";
}

std::vector<uint8_t> textData(std::size_t size, uint32_t seed) {
  static const char* const kWords[] = {"cabinet ", "folder ",  "block ", "kestrova ",
                                       "setup ",   "quantum ", "mszip ", "\r\n"};
  std::vector<uint8_t> data;
  data.reserve(size);
  uint32_t state = seed;
  while (data.size() < size) {
    state = state * 1103515245u + 12345u;
    for (const char* c = kWords[(state >> 16) % 8]; *c != '\0' && data.size() < size; ++c)
      data.push_back(static_cast<uint8_t>(*c));
  }
  return data;
}

std::vector<uint8_t> noiseData(std::size_t size, uint32_t seed) {
  std::vector<uint8_t> data(size);
  uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
  for (uint8_t& byte : data) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    byte = static_cast<uint8_t>(state);
  }
  return data;
}

cabwriter::WriterFile makeFile(const std::string& name, std::vector<uint8_t> data,
                               uint16_t attributes) {
  cabwriter::WriterFile file;
  file.name = name;
  file.data = std::move(data);
  file.attributes = attributes;
  return file;
}

void CabinetReaderTest::SetUp() {
  files().reset();
  current = this;
  context = createMemoryCabinetDecoder(&error);
  ASSERT_NE(context, nullptr);
}

void CabinetReaderTest::TearDown() {
  if (context != nullptr) {
    EXPECT_EQ(cabinetDestroy(context), 1);
  }
  current = nullptr;
  EXPECT_EQ(files().liveAllocations, 0) << "the reader leaked memory";
  EXPECT_TRUE(files().open.empty()) << "the reader left handles open";
}

std::vector<cabwriter::CabinetImage> CabinetReaderTest::store(
    const std::vector<cabwriter::WriterFile>& input, cabwriter::WriterOptions options) {
  std::vector<cabwriter::CabinetImage> images;
  std::string message;
  if (options.cabinetName == "out.cab") options.cabinetName = "test.cab";
  EXPECT_TRUE(cabwriter::writeCabinets(input, options, images, message)) << message;
  for (const auto& image : images) files().files[image.name] = image.bytes;
  return images;
}

int32_t CabinetReaderTest::copy(const std::string& name, Hook hook, intptr_t userValue) {
  return cabinetCopy(context, name.c_str(), "", 0, notify, hook, userValue);
}

std::vector<uint8_t> CabinetReaderTest::extracted(const std::string& name) const {
  auto found = MemoryCabinetFiles::instance().files.find(kOutputPrefix + name);
  return found == MemoryCabinetFiles::instance().files.end() ? std::vector<uint8_t>{}
                                                             : found->second;
}

bool CabinetReaderTest::wasExtracted(const std::string& name) const {
  return MemoryCabinetFiles::instance().files.count(kOutputPrefix + name) != 0;
}

std::vector<int32_t> CabinetReaderTest::kinds() const {
  std::vector<int32_t> result;
  for (const NotifyEvent& event : events) result.push_back(event.kind);
  return result;
}

std::vector<uint8_t>& CabinetReaderTest::cabinetBytes(const std::string& name) {
  return files().files[name];
}

int32_t CabinetReaderTest::notify(int32_t kind, CabinetNotification* n) {
  CabinetReaderTest& self = *current;
  NotifyEvent event;
  event.kind = kind;
  event.text1 = n->text1 != nullptr ? n->text1 : "";
  event.text2 = n->text2 != nullptr ? n->text2 : "";
  event.size = n->size;
  event.attributes = n->attributes;
  event.cabinetIndex = n->cabinetIndex;
  event.error = n->error;
  self.events.push_back(event);
  if (self.answer) {
    if (std::optional<int32_t> scripted = self.answer(kind, *n)) return *scripted;
  }
  return self.defaultAnswer(kind, *n);
}

// Extracts every file under "out\", closes it on CLOSE_FILE, and gives up on
// a next cabinet once an attempt has failed.
int32_t CabinetReaderTest::defaultAnswer(int32_t kind, CabinetNotification& n) {
  switch (kind) {
    case CAB_NOTIFY_COPY_FILE:
      return files().createFile(kOutputPrefix + n.text1);
    case CAB_NOTIFY_CLOSE_FILE:
      return memoryClose(n.fileHandle) == 0 ? 1 : 0;
    case CAB_NOTIFY_NEXT_CABINET:
      return n.error == 0 ? 0 : -1;
    default:
      return 0;
  }
}

uint16_t getU16(const std::vector<uint8_t>& bytes, std::size_t at) {
  return static_cast<uint16_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
}

uint32_t getU32(const std::vector<uint8_t>& bytes, std::size_t at) {
  return getU16(bytes, at) | (static_cast<uint32_t>(getU16(bytes, at + 2)) << 16);
}

void putU16(std::vector<uint8_t>& bytes, std::size_t at, uint16_t value) {
  bytes.at(at) = static_cast<uint8_t>(value);
  bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

void putU32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
  putU16(bytes, at, static_cast<uint16_t>(value));
  putU16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

std::size_t firstDataBlock(const std::vector<uint8_t>& cabinet) {
  return getU32(cabinet, kFirstFolderEntry);
}

std::size_t firstFileEntry(const std::vector<uint8_t>& cabinet) {
  return getU32(cabinet, 16);
}

}  // namespace ks::test

// Creating and destroying the reader's context; error reporting.

#include <cstring>

#include "cabinet/cabinet_context.h"

namespace ks::cab {

bool fail(CabinetDecoder& c, int32_t code, int32_t detail) {
  c.error->code = code;
  c.error->detail = detail;
  c.error->failed = 1;
  return false;
}

void copyText(char* buffer, const char* text) {
  std::size_t length = 0;
  while (length < kTextBytes - 1 && text[length] != '\0') ++length;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

namespace {

void freeBuffer(CabinetDecoder& c, uint8_t*& buffer) {
  if (buffer != nullptr) c.free(buffer);
  buffer = nullptr;
}

}  // namespace

}  // namespace ks::cab

extern "C" CabinetDecoder* cabinetCreate(CabinetAlloc alloc, CabinetFree free, CabinetOpen open,
                                         CabinetRead read, CabinetWrite write, CabinetClose close,
                                         CabinetSeek seek, int32_t cpuType, CabinetError* error) {
  using namespace ks::cab;
  void* memory = alloc(sizeof(CabinetDecoder));
  if (memory == nullptr) {
    error->code = CAB_ERROR_OUT_OF_MEMORY;
    error->detail = 0;
    error->failed = 1;
    return nullptr;
  }
  std::memset(memory, 0, sizeof(CabinetDecoder));
  auto* c = static_cast<CabinetDecoder*>(memory);
  c->error = error;
  c->free = free;
  c->alloc = alloc;
  c->open = open;
  c->read = read;
  c->write = write;
  c->close = close;
  c->seek = seek;
  c->cpuType = cpuType;
  c->currentType = kNoDecoder;
  c->currentFolder = kNoFolder;
  c->headerReserveSize = kSizeUnset;
  c->folderEntrySize = kSizeUnset;
  c->dataHeaderSize = kSizeUnset;
  c->dataHandle = kNoHandle;
  c->listHandle = kNoHandle;
  c->outputHandle = kNoHandle;
  return c;
}

extern "C" int32_t cabinetDestroy(CabinetDecoder* context) {
  using namespace ks::cab;
  CabinetDecoder& c = *context;
  switchDecoder(c, kNoDecoder);
  freeBuffer(c, c.headerReserve);
  freeBuffer(c, c.folderEntry);
  freeBuffer(c, c.dataHeader);
  freeFolderStarts(c);
  closeCabinetHandles(c);
  c.free(context);
  return 1;
}

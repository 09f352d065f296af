// The MSZIP decoder.
//
// An MSZIP block is "CK" followed by a complete DEFLATE stream (RFC 1951)
// whose matches may reach up to 32768 bytes back, into the previous block of
// the folder. There is no window of its own: the caller's 32768-byte output
// buffer still holds the previous block, and it is read as a ring. A match
// whose distance is more than the bytes written so far in this call starts
// in the previous block's bytes at the end of the buffer and continues, past
// offset 32767, at the buffer's start.

#include "cabinet/mszip.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "cabinet/deflate_bit_reader.h"
#include "cabinet/huffman_table.h"

namespace ks::cabinet {
namespace {

constexpr uint32_t kMszipTag = 0x505A534Du;  // "MSZP"
constexpr uint32_t kHistorySize = 32768;     // the output buffer, read as a ring

// Table pools (their sizes are part of the decoder's behaviour). The fixed literal/length code (288
// codes of 7 to 9 bits) needs a 128-entry root and 264 sub-table entries; the
// fixed distance code is exactly one 5-bit table.
constexpr unsigned kFixedLiteralPoolEntries = 520;
constexpr unsigned kFixedDistancePoolEntries = 32;
// Dynamic codes share one pool: 800 entries that first hold the code-length
// table (at most 128 entries) and then the literal/length table (a 9-bit root
// of 512 entries plus its sub-tables), and 150 for the distance table (a
// 6-bit root of 64 plus sub-tables).
constexpr unsigned kDynamicLiteralPoolEntries = 800;
constexpr unsigned kDynamicDistancePoolEntries = 150;

constexpr unsigned kFixedLiteralRootBits = 7;
constexpr unsigned kFixedDistanceRootBits = 5;
constexpr unsigned kCodeLengthRootBits = 7;
constexpr unsigned kLiteralRootBits = 9;
constexpr unsigned kDistanceRootBits = 6;

constexpr unsigned kMaxLiteralCodes = 286;  // HLIT + 257 above this fails
constexpr unsigned kMaxDistanceCodes = 30;  // HDIST + 1 above this fails
constexpr unsigned kCodeLengthCodes = 19;
constexpr unsigned kFixedLiteralCodes = 288;
constexpr unsigned kFixedDistanceCodes = 30;

// Length symbols 257 to 285: base length and extra bits; 286 and 287 (only
// in the fixed code) are invalid.
constexpr uint16_t kLengthBase[31] = {3,  4,   5,   6,   7,   8,   9,   10, 11, 13, 15,
                                      17, 19,  23,  27,  31,  35,  43,  51, 59, 67, 83,
                                      99, 115, 131, 163, 195, 227, 258, 0,  0};
constexpr uint8_t kLengthExtraBits[31] = {0,
                                          0,
                                          0,
                                          0,
                                          0,
                                          0,
                                          0,
                                          0,
                                          1,
                                          1,
                                          1,
                                          1,
                                          2,
                                          2,
                                          2,
                                          2,
                                          3,
                                          3,
                                          3,
                                          3,
                                          4,
                                          4,
                                          4,
                                          4,
                                          5,
                                          5,
                                          5,
                                          5,
                                          0,
                                          kOperationInvalid,
                                          kOperationInvalid};
constexpr uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtraBits[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block sends the code-length code's lengths.
constexpr uint8_t kCodeLengthOrder[kCodeLengthCodes] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                        11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr HuffmanSymbolMeaning kLiteralMeaning{257, kLengthBase, kLengthExtraBits};
constexpr HuffmanSymbolMeaning kDistanceMeaning{0, kDistanceBase, kDistanceExtraBits};
constexpr HuffmanSymbolMeaning kCodeLengthMeaning{kCodeLengthCodes, nullptr, nullptr};

enum class BlockEnd { kEndOfBlock, kOutputFull, kFailed };

// Room for two literals and a longest match: with at least this much room
// left, the decoding loop need not check it after every literal.
constexpr std::ptrdiff_t kFastLoopRoom = 2 + 258 + 1;

}  // namespace

struct MszipState {
  uint32_t lastBlock;  // BFINAL of the most recent DEFLATE block
  DeflateBitReader input;
  uint8_t* outputStart;
  uint8_t* cursor;
  uint32_t bytesAllowed;
  bool fixedTablesBuilt;
  HuffmanTable fixedLiteral;
  HuffmanTable fixedDistance;
  HuffmanEntry fixedLiteralPool[kFixedLiteralPoolEntries];
  HuffmanEntry fixedDistancePool[kFixedDistancePoolEntries];
  HuffmanEntry dynamicPool[kDynamicLiteralPoolEntries + kDynamicDistancePoolEntries];
};

namespace {

// Decodes one Huffman code: the root lookup, then any sub-table links.
inline HuffmanEntry decodeSymbol(DeflateBitReader& input, const HuffmanTable& table) {
  HuffmanEntry entry = table.entries[input.peek(table.rootBits)];
  while (entry.operation > kOperationLiteral && entry.operation != kOperationInvalid) {
    input.consume(entry.bits);
    entry = table.entries[entry.value + input.peek(entry.operation - kOperationLiteral)];
  }
  input.consume(entry.bits);
  return entry;
}

inline uint64_t load8(const uint8_t* p) {
  uint64_t value;
  std::memcpy(&value, p, 8);
  return value;
}
inline void store8(uint8_t* p, uint64_t value) {
  std::memcpy(p, &value, 8);
}

// Copies `length` bytes from `distance` bytes back within the output (the
// source starts before the destination). Byte-by-byte semantics: a distance
// shorter than the length repeats the bytes just written.
//
// The bytes after the cursor are the previous block's history, still to be
// read by matches that reach back into it, so nothing past the match may
// change. The fast path copies whole 8-byte steps (each reads only bytes
// already final, as the distance is at least 8), which may run up to 7 bytes
// past the match, and puts those bytes back afterwards.
inline void copyWithinOutput(uint8_t* destination, unsigned distance, unsigned length,
                             const uint8_t* bufferEnd) {
  const uint8_t* source = destination - distance;
  if (distance >= 8 && destination + length + 8 <= bufferEnd) {
    const uint64_t after = load8(destination + length);
    for (unsigned done = 0; done < length; done += 8) {
      store8(destination + done, load8(source + done));
    }
    store8(destination + length, after);
  } else if (distance >= length) {
    std::memcpy(destination, source, length);
  } else if (distance == 1) {
    std::memset(destination, source[0], length);
  } else {
    for (unsigned i = 0; i < length; ++i) destination[i] = source[i];
  }
}

// Copies a match through the 32768-byte history ring; returns the cursor
// after it.
inline uint8_t* copyMatch(uint8_t* outputStart, uint8_t* cursor, unsigned distance,
                          unsigned length) {
  uint32_t written = static_cast<uint32_t>(cursor - outputStart);
  if (distance > written) {
    // The match starts in the previous block's bytes at the end of the
    // buffer; the source is ahead of the destination, so a forward copy
    // reads every byte before it is overwritten.
    unsigned untilRingEnd = distance - written;
    unsigned part = std::min(length, untilRingEnd);
    std::memmove(cursor, outputStart + (written + kHistorySize - distance), part);
    cursor += part;
    length -= part;
    if (length == 0) return cursor;
    // Past offset 32767 the source wraps to the buffer's start, which is
    // exactly `distance` bytes behind the cursor now.
  }
  copyWithinOutput(cursor, distance, length, outputStart + kHistorySize);
  return cursor + length;
}

// Decodes the codes of a fixed or dynamic block until its end-of-block code,
// a full output, or an invalid code.
BlockEnd decodeCodes(MszipState& state, const HuffmanTable& literals,
                     const HuffmanTable& distances) {
  // The bit reader and the cursor are worked on as locals: the output is
  // written through byte pointers, which could alias the state, so state
  // fields would be reloaded after every byte.
  DeflateBitReader input = state.input;
  uint8_t* const outputStart = state.outputStart;
  uint8_t* const end = state.cursor + state.bytesAllowed;
  uint8_t* cursor = state.cursor;
  const HuffmanEntry* const literalRoot = literals.entries;
  const unsigned literalRootBits = literals.rootBits;
  BlockEnd result = BlockEnd::kFailed;
  for (;;) {
    input.refill();  // at least 56 bits: enough for a whole match
    HuffmanEntry entry = literalRoot[input.peek(literalRootBits)];
    if (entry.operation == kOperationLiteral && end - cursor >= kFastLoopRoom) {
      // Far from the end: up to three literals resolved at the root (at most
      // 15 bits each) from the bits in hand, without checking the room.
      input.consume(entry.bits);
      *cursor++ = static_cast<uint8_t>(entry.value);
      entry = literalRoot[input.peek(literalRootBits)];
      if (entry.operation == kOperationLiteral) {
        input.consume(entry.bits);
        *cursor++ = static_cast<uint8_t>(entry.value);
        entry = literalRoot[input.peek(literalRootBits)];
        if (entry.operation == kOperationLiteral) {
          input.consume(entry.bits);
          *cursor++ = static_cast<uint8_t>(entry.value);
          continue;
        }
      }
      input.refill();  // the entry stays valid: refilling adds bits behind
    } else if (entry.operation == kOperationLiteral) {
      input.consume(entry.bits);
      *cursor++ = static_cast<uint8_t>(entry.value);
      if (cursor == end) {
        result = BlockEnd::kOutputFull;
        break;
      }
      continue;
    }
    // A sub-table link, the end of block, a length or an invalid code.
    while (entry.operation > kOperationLiteral && entry.operation != kOperationInvalid) {
      input.consume(entry.bits);
      entry = literalRoot[entry.value + input.peek(entry.operation - kOperationLiteral)];
    }
    input.consume(entry.bits);
    if (entry.operation == kOperationLiteral) {
      *cursor++ = static_cast<uint8_t>(entry.value);
      if (cursor == end) {
        result = BlockEnd::kOutputFull;
        break;
      }
      continue;
    }
    if (entry.operation == kOperationEndOfBlock) {
      result = BlockEnd::kEndOfBlock;
      break;
    }
    if (entry.operation > kOperationMaxExtraBits) break;  // invalid code
    // A length is followed by its extra bits, then a distance code and its
    // extra bits.
    unsigned length = entry.value + input.take(entry.operation);
    HuffmanEntry distanceEntry = decodeSymbol(input, distances);
    if (distanceEntry.operation > kOperationMaxExtraBits) break;  // invalid code
    unsigned distance = distanceEntry.value + input.take(distanceEntry.operation);

    unsigned room = static_cast<unsigned>(end - cursor);
    if (length >= room) {
      cursor = copyMatch(outputStart, cursor, distance, room);
      result = BlockEnd::kOutputFull;
      break;
    }
    cursor = copyMatch(outputStart, cursor, distance, length);
  }
  state.input = input;
  state.cursor = cursor;
  state.bytesAllowed = static_cast<uint32_t>(end - cursor);
  return result;
}

BlockEnd decodeStoredBlock(MszipState& state) {
  DeflateBitReader& input = state.input;
  input.alignToByte();
  uint32_t length = input.readAlignedUint16();
  uint32_t lengthComplement = input.readAlignedUint16();
  if (length + lengthComplement != 0xFFFF) return BlockEnd::kFailed;
  uint32_t count = std::min(length, state.bytesAllowed);
  // A length that runs past the input fails rather than read outside it.
  const uint8_t* bytes = input.takeAlignedBytes(count);
  if (bytes == nullptr) return BlockEnd::kFailed;
  std::memcpy(state.cursor, bytes, count);
  state.cursor += count;
  state.bytesAllowed -= count;
  input.skipAlignedBytes(length - count);
  return state.bytesAllowed == 0 ? BlockEnd::kOutputFull : BlockEnd::kEndOfBlock;
}

bool buildFixedTables(MszipState& state) {
  uint8_t lengths[kFixedLiteralCodes];
  std::fill(lengths, lengths + 144, 8);
  std::fill(lengths + 144, lengths + 256, 9);
  std::fill(lengths + 256, lengths + 280, 7);
  std::fill(lengths + 280, lengths + kFixedLiteralCodes, 8);
  if (!buildHuffmanTable(lengths, kFixedLiteralCodes, kLiteralMeaning, kFixedLiteralRootBits, false,
                         state.fixedLiteralPool, kFixedLiteralPoolEntries, &state.fixedLiteral)) {
    return false;
  }
  std::fill(lengths, lengths + kFixedDistanceCodes, 5);
  // The fixed distance code leaves two of its 32 patterns unused.
  return buildHuffmanTable(lengths, kFixedDistanceCodes, kDistanceMeaning, kFixedDistanceRootBits,
                           true, state.fixedDistancePool, kFixedDistancePoolEntries,
                           &state.fixedDistance);
}

// Reads a dynamic block's code lengths and builds its two tables.
bool readDynamicTables(MszipState& state, HuffmanTable* literals, HuffmanTable* distances) {
  DeflateBitReader& input = state.input;
  input.refill();
  unsigned literalCodes = input.take(5) + 257;
  unsigned distanceCodes = input.take(5) + 1;
  unsigned codeLengthCodes = input.take(4) + 4;
  if (literalCodes > kMaxLiteralCodes || distanceCodes > kMaxDistanceCodes) return false;

  uint8_t codeLengthLengths[kCodeLengthCodes] = {};
  for (unsigned i = 0; i < codeLengthCodes; ++i) {
    input.refill();
    codeLengthLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(input.take(3));
  }
  HuffmanTable codeLengthTable;
  if (!buildHuffmanTable(codeLengthLengths, kCodeLengthCodes, kCodeLengthMeaning,
                         kCodeLengthRootBits, false, state.dynamicPool, kDynamicLiteralPoolEntries,
                         &codeLengthTable)) {
    return false;
  }

  uint8_t lengths[kMaxLiteralCodes + kMaxDistanceCodes];
  unsigned total = literalCodes + distanceCodes;
  unsigned previous = 0;  // what symbol 16 repeats before any length is read
  for (unsigned n = 0; n < total;) {
    input.refill();
    HuffmanEntry entry = decodeSymbol(input, codeLengthTable);
    if (entry.operation != kOperationLiteral) return false;
    unsigned symbol = entry.value;
    if (symbol < 16) {
      lengths[n++] = static_cast<uint8_t>(symbol);
      previous = symbol;
      continue;
    }
    unsigned repeat;
    unsigned value = 0;
    if (symbol == 16) {
      repeat = 3 + input.take(2);
      value = previous;
    } else if (symbol == 17) {
      repeat = 3 + input.take(3);
    } else {
      repeat = 11 + input.take(7);
    }
    if (n + repeat > total) return false;
    std::fill(lengths + n, lengths + n + repeat, static_cast<uint8_t>(value));
    n += repeat;
    if (symbol != 16) previous = 0;
  }

  // The code-length table is no longer needed: its pool space now holds the
  // literal/length table.
  if (!buildHuffmanTable(lengths, literalCodes, kLiteralMeaning, kLiteralRootBits, false,
                         state.dynamicPool, kDynamicLiteralPoolEntries, literals)) {
    return false;
  }
  return buildHuffmanTable(lengths + literalCodes, distanceCodes, kDistanceMeaning,
                           kDistanceRootBits, false, state.dynamicPool + kDynamicLiteralPoolEntries,
                           kDynamicDistancePoolEntries, distances);
}

bool decodeMszipBlock(MszipState& state) {
  while (state.lastBlock == 0 && state.bytesAllowed != 0) {
    DeflateBitReader& input = state.input;
    input.refill();
    state.lastBlock = input.take(1);
    unsigned type = input.take(2);
    BlockEnd end;
    if (type == 0) {
      end = decodeStoredBlock(state);
    } else if (type == 1) {
      end = decodeCodes(state, state.fixedLiteral, state.fixedDistance);
    } else if (type == 2) {
      HuffmanTable literals;
      HuffmanTable distances;
      if (!readDynamicTables(state, &literals, &distances)) return false;
      end = decodeCodes(state, literals, distances);
    } else {
      return false;
    }
    if (end == BlockEnd::kFailed) return false;
  }
  return true;
}

}  // namespace
}  // namespace ks::cabinet

struct MszipDecoder {
  uint32_t tag;
  CabinetAlloc alloc;
  CabinetFree free;
  uint32_t maximumBlockSize;
  ks::cabinet::MszipState* state;
};

namespace {

bool isLive(const MszipDecoder* handle) {
  return handle != nullptr && handle->tag == ks::cabinet::kMszipTag;
}

}  // namespace

extern "C" DecoderResult mszipCreate(uint32_t* maximumBlockSize, CabinetAlloc alloc,
                                     CabinetFree free, uint32_t* inputBufferSize,
                                     MszipDecoder** handle) {
  if (*maximumBlockSize == 0 || *maximumBlockSize > MSZIP_MAX_BLOCK_SIZE) {
    *maximumBlockSize = MSZIP_MAX_BLOCK_SIZE;
  }
  *inputBufferSize = *maximumBlockSize + MSZIP_INPUT_SLACK;
  if (handle == nullptr) return DECODER_OK;

  *handle = nullptr;
  void* handleMemory = alloc(sizeof(MszipDecoder));
  if (handleMemory == nullptr) return DECODER_OUT_OF_MEMORY;
  void* stateMemory = alloc(sizeof(ks::cabinet::MszipState));
  if (stateMemory == nullptr) {
    free(handleMemory);
    return DECODER_OUT_OF_MEMORY;
  }
  std::memset(stateMemory, 0, sizeof(ks::cabinet::MszipState));
  auto* decoder = new (handleMemory) MszipDecoder{};
  decoder->alloc = alloc;
  decoder->free = free;
  decoder->maximumBlockSize = *maximumBlockSize;
  decoder->state = new (stateMemory) ks::cabinet::MszipState{};
  decoder->tag = ks::cabinet::kMszipTag;
  *handle = decoder;
  return DECODER_OK;
}

extern "C" DecoderResult mszipDecompress(MszipDecoder* handle, const uint8_t* input,
                                         uint32_t inputSize, uint8_t* output,
                                         uint32_t* outputSize) {
  using namespace ks::cabinet;
  if (!isLive(handle)) return DECODER_BAD_HANDLE;
  if (inputSize > handle->maximumBlockSize + MSZIP_INPUT_SLACK) return DECODER_BUFFER_OVERFLOW;
  MszipState& state = *handle->state;
  if (!state.fixedTablesBuilt) {
    if (!buildFixedTables(state)) return DECODER_FAILED;
    state.fixedTablesBuilt = true;
  }
  if (inputSize < 2 || input[0] != 'C' || input[1] != 'K') return DECODER_FAILED;

  state.input.start(input + 2, inputSize - 2);
  state.lastBlock = 0;
  state.outputStart = output;
  state.cursor = output;
  uint32_t allowed = std::min(*outputSize, handle->maximumBlockSize);
  state.bytesAllowed = allowed;
  if (!decodeMszipBlock(state)) return DECODER_FAILED;
  *outputSize = allowed - state.bytesAllowed;
  return DECODER_OK;
}

extern "C" DecoderResult mszipReset(MszipDecoder* handle) {
  // Nothing to reset: the history lives in the caller's output buffer, and
  // every block starts a fresh DEFLATE stream.
  return isLive(handle) ? DECODER_OK : DECODER_BAD_HANDLE;
}

extern "C" DecoderResult mszipDestroy(MszipDecoder* handle) {
  if (!isLive(handle)) return DECODER_BAD_HANDLE;
  handle->tag = 0;
  CabinetFree free = handle->free;
  free(handle->state);
  free(handle);
  return DECODER_OK;
}

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
#include <bit>
#include <cstddef>
#include <cstring>
#include <new>

#include "cabinet/deflate_bit_reader.h"
#include "cabinet/huffman_table.h"

namespace ks::cabinet {
namespace {

constexpr uint32_t kMszipTag = 0x505A534Du;  // "MSZP"
constexpr uint32_t kHistorySize = 32768;     // the output buffer, read as a ring

// Table pools (their sizes are part of the decoder's behaviour). Worked out
// for the sub-table layout of huffman_table.cpp, whose sub-table for a root
// prefix ends at the length where the codes fill it (at most root-wide);
// the worst cases of the dynamic pools are computed over every possible code
// by tests/unit/mszip/huffman_pool_bounds_test.cpp and checked against the
// builder:
// - the fixed literal/length code (288 codes of 7 to 9 bits) is one 9-bit
//   table, no sub-tables (512 of 520); the fixed distance code is exactly
//   one 5-bit table (32 of 32);
// - the code-length code (19 codes of at most 7 bits) is one root of at most
//   128 entries (of 800);
// - a dynamic literal/length code has a 9-bit root of 512 entries, and each
//   sub-table at most 15 - 9 = 6 bits (64 entries); the worst code of at
//   most 286 symbols needs 852 entries, so the pool of 800 does NOT hold
//   every valid code. Such a block fails, as the format's pools require, so
//   the check against the pool stays;
// - a dynamic distance code has a 6-bit root of 64 entries, sub-tables of at
//   most 6 bits and, for codes over 12 bits, a third level of at most 3 bits;
//   the worst code needs 154 entries, more than the pool of 150: the check
//   stays here too.
// Nothing else relies on the pool bounds: the decoding loops rely only on a
// root of at most 9 bits, codes of at most 15 bits and the longest item (a
// 15-bit length code, 5 extra bits, a 15-bit distance code, 13 extra bits:
// 48 bits) fitting one refill.
constexpr unsigned kFixedLiteralPoolEntries = 520;
constexpr unsigned kFixedDistancePoolEntries = 32;
constexpr unsigned kDynamicLiteralPoolEntries = 800;
constexpr unsigned kDynamicDistancePoolEntries = 150;

constexpr unsigned kFixedLiteralRootBits = 9;
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
                                          kUnusableSymbol,
                                          kUnusableSymbol};
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

// The fast loop runs while both ends are far: at least this much output room
// for a pass (a longest match and the bytes a match copy may write past its
// end), and 8 bytes of input for its refill, so that it checks neither per
// byte.
constexpr std::ptrdiff_t kFastLoopRoom = 258 + 16;

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

// Looks up one Huffman code: the root lookup, then any sub-table links
// (whose bits it consumes). The entry found is not consumed yet.
template <typename Reader>
inline HuffmanEntry lookUpSymbol(Reader& input, const HuffmanTable& table) {
  HuffmanEntry entry = table.entries[input.peek(table.rootBits)];
  while (isSubTableLink(entry.kind)) {
    input.consume(entry.bits);
    entry = table.entries[entry.value + input.peek(subTableBits(entry.kind))];
  }
  return entry;
}

// Consumes a length or distance entry with its extra bits; returns the base
// plus the extra bits.
template <typename Reader>
inline unsigned takeBaseAndExtra(Reader& input, HuffmanEntry entry) {
  const uint64_t before = input.buffered();
  input.consume(entry.bits);
  return entry.value + entryExtraBits(before, entryWord(entry));
}

inline uint64_t load8(const uint8_t* p) {
  uint64_t value;
  std::memcpy(&value, p, 8);
  return value;
}
inline void store8(uint8_t* p, uint64_t value) {
  std::memcpy(p, &value, 8);
}
inline void copy16(uint8_t* to, const uint8_t* from) {
  uint8_t bytes[16];
  std::memcpy(bytes, from, 16);
  std::memcpy(to, bytes, 16);
}

// Bytes a match copy may write past the match (putting them back after).
constexpr unsigned kCopyOverrun = 16;

// The pattern copy below builds its 8 bytes with shifts, least significant
// byte first, as every target of this library stores them.
static_assert(std::endian::native == std::endian::little);

// For a distance d below 8: the largest multiple of d that is at most 8.
constexpr uint8_t kPatternStep[8] = {0, 8, 8, 6, 8, 5, 6, 7};

// Copies `length` bytes from `distance` bytes back (distance <= bytes written
// in this call) with byte-by-byte meaning: a distance shorter than the length
// repeats the bytes just written. Word copies replace the byte loop. Short
// matches and distances below 8 write past the match, up to kCopyOverrun
// bytes, which the caller guarantees lie inside the buffer; those bytes are
// the previous block's history, still to be read by matches that reach back
// into it, so they are put back afterwards.
inline void copyOverlapping(uint8_t* to, unsigned distance, unsigned length) {
  const uint8_t* from = to - distance;
  if (distance >= length && length <= 16) {
    // Most matches: short, not overlapping. One 16-byte copy without a
    // branch on the length; the bytes it writes past the match are put back.
    uint8_t match[16];
    uint8_t after[16];
    std::memcpy(match, from, 16);
    std::memcpy(after, to + length, 16);
    std::memcpy(to, match, 16);
    std::memcpy(to + length, after, 16);
  } else if (distance >= 16) {
    // 16 bytes per step, each reading only bytes already final; the last
    // step ends exactly at the match's end, rewriting some bytes with the
    // same values.
    for (unsigned i = 0; i + 16 < length; i += 16) copy16(to + i, from + i);
    copy16(to + length - 16, from + length - 16);
  } else if (distance >= 8) {
    for (unsigned i = 0; i + 8 < length; i += 8) store8(to + i, load8(from + i));
    store8(to + length - 8, load8(from + length - 8));
  } else {
    // Distances 1 to 7 repeat a pattern of `distance` bytes: spread over 8
    // bytes once, in a register, it is stored 8 bytes at a time, each store
    // advancing by the largest multiple of the distance that fits, so the
    // next store rewrites the tail with the same bytes. No byte just written
    // is read back.
    const uint64_t after = load8(to + length);
    uint64_t pattern = load8(from) & (~uint64_t{0} >> (64 - 8 * distance));
    pattern |= pattern << (8 * distance);
    if (distance < 4) pattern |= pattern << (16 * distance);
    if (distance < 2) pattern |= pattern << 32;
    const unsigned step = kPatternStep[distance];
    for (unsigned i = 0; i < length; i += step) store8(to + i, pattern);
    store8(to + length, after);
  }
}

// Copies the part of a match that starts in the previous block's bytes at
// the end of the buffer (distance beyond the bytes written in this call);
// returns the cursor after it and leaves in `length` what is left of the
// match. The source is ahead of the destination, so a forward copy reads
// every byte before it is overwritten; past offset 32767 the source wraps to
// the buffer's start, which is exactly `distance` bytes behind the cursor
// then.
inline uint8_t* copyFromPreviousBlock(uint8_t* outputStart, uint8_t* cursor, unsigned distance,
                                      unsigned& length) {
  const uint32_t written = static_cast<uint32_t>(cursor - outputStart);
  const unsigned part = std::min(length, distance - written);
  std::memmove(cursor, outputStart + (written + kHistorySize - distance), part);
  length -= part;
  return cursor + part;
}

// Copies a match through the 32768-byte history ring; returns the cursor
// after it.
inline uint8_t* copyMatch(uint8_t* outputStart, uint8_t* cursor, unsigned distance,
                          unsigned length) {
  if (distance > static_cast<uint32_t>(cursor - outputStart)) {
    cursor = copyFromPreviousBlock(outputStart, cursor, distance, length);
    if (length == 0) return cursor;
  }
  if (cursor + length + kCopyOverrun <= outputStart + kHistorySize) {
    copyOverlapping(cursor, distance, length);
  } else {
    const uint8_t* from = cursor - distance;
    for (unsigned i = 0; i < length; ++i) cursor[i] = from[i];
  }
  return cursor + length;
}

// copyMatch for the fast loop, whose room check leaves space for the
// overrun.
[[gnu::always_inline]] inline uint8_t* copyMatchWithRoom(uint8_t* outputStart, uint8_t* cursor,
                                                         unsigned distance, unsigned length) {
  if (distance > static_cast<uint32_t>(cursor - outputStart)) [[unlikely]] {
    cursor = copyFromPreviousBlock(outputStart, cursor, distance, length);
    if (length == 0) return cursor;
  }
  copyOverlapping(cursor, distance, length);
  return cursor + length;
}

// Decodes a distance code and its extra bits; 0 for an invalid code.
template <typename Reader>
inline unsigned decodeDistance(Reader& input, const HuffmanTable& distances) {
  const HuffmanEntry entry = lookUpSymbol(input, distances);
  if (entry.kind & kKindSpecial) return 0;  // a distance table holds no other special
  return takeBaseAndExtra(input, entry);
}

// Entry flags as seen in an entry word.
constexpr uint32_t kLiteralFlag = uint32_t{kKindLiteral} << 8;
constexpr uint32_t kSpecialFlag = uint32_t{kKindSpecial} << 8;

// Follows the sub-table links of an entry word (consuming their bits); the
// entry found is not consumed.
[[gnu::always_inline]] inline uint32_t followLinks(DeflateBitReader::Fast& input,
                                                   const HuffmanEntry* table, uint32_t entry) {
  while (isSubTableLink(static_cast<uint8_t>(entry >> 8))) {
    input.consumeEntry(entry);
    const uint32_t index = static_cast<uint32_t>(input.buffered()) &
                           ((1u << subTableBits(static_cast<uint8_t>(entry >> 8))) - 1);
    entry = entryWord(table[(entry >> 16) + index]);
  }
  return entry;
}

// The fast loop over a block's codes, while far from the end of both the
// input and the output: one item (a literal or a match) per pass,
// after one unchecked refill. The next literal/length entry is looked up as
// soon as the bits before it are consumed, so the lookup overlaps the
// literal store or the match copy. Returns kOutputFull when it stopped near
// an end with the block not yet done.
[[gnu::noinline]] BlockEnd decodeCodesFast(MszipState& state, const HuffmanTable& literals,
                                           const HuffmanTable& distances) {
  // Everything as locals: the output is written through byte pointers, which
  // could alias the state, so state fields would be reloaded after every
  // byte.
  DeflateBitReader::Fast input(state.input);
  uint8_t* const outputStart = state.outputStart;
  uint8_t* const end = state.cursor + state.bytesAllowed;
  uint8_t* cursor = state.cursor;
  const HuffmanEntry* const literalTable = literals.entries;
  const HuffmanEntry* const distanceTable = distances.entries;
  const uint32_t literalMask = (1u << literals.rootBits) - 1;
  const uint32_t distanceMask = (1u << distances.rootBits) - 1;
  // Past this the output room is too short for a pass (the output start
  // when it is that short from the beginning).
  uint8_t* const roomLimit = state.bytesAllowed >= kFastLoopRoom ? end - kFastLoopRoom + 1 : cursor;
  const auto farFromEnds = [&] { return input.canRefill() && cursor < roomLimit; };
  if (!farFromEnds()) return BlockEnd::kOutputFull;

  // After each refill all 64 bits in hand are stream bits: enough for the
  // longest item (48 bits) and the lookup of the next entry (9 bits).
  input.refill();
  uint32_t entry = entryWord(literalTable[input.buffered() & literalMask]);
  BlockEnd result = BlockEnd::kOutputFull;
  for (;;) {
    if (entry & kSpecialFlag) [[unlikely]] {
      // A sub-table link, the end of block or an invalid code.
      entry = followLinks(input, literalTable, entry);
      if (entry & kSpecialFlag) {
        input.consumeEntry(entry);
        result = static_cast<uint8_t>(entry >> 8) == kKindEndOfBlock ? BlockEnd::kEndOfBlock
                                                                     : BlockEnd::kFailed;
        break;
      }
    }
    if (entry & kLiteralFlag) {
      input.consumeEntry(entry);
      const uint32_t next = entryWord(literalTable[input.buffered() & literalMask]);
      *cursor++ = static_cast<uint8_t>(entry >> 16);
      entry = next;
    } else {
      // A length code and its extra bits are consumed in one step; the extra
      // bits are taken from the bits as they were before it.
      uint64_t before = input.buffered();
      input.consumeEntry(entry);
      uint32_t distanceEntry = entryWord(distanceTable[input.buffered() & distanceMask]);
      const unsigned length = (entry >> 16) + entryExtraBits(before, entry);
      if (distanceEntry & kSpecialFlag) [[unlikely]] {
        distanceEntry = followLinks(input, distanceTable, distanceEntry);
        if (distanceEntry & kSpecialFlag) {
          result = BlockEnd::kFailed;  // invalid code
          break;
        }
      }
      before = input.buffered();
      input.consumeEntry(distanceEntry);
      entry = entryWord(literalTable[input.buffered() & literalMask]);
      const unsigned distance = (distanceEntry >> 16) + entryExtraBits(before, distanceEntry);
      cursor = copyMatchWithRoom(outputStart, cursor, distance, length);
    }
    if (!farFromEnds()) break;
    input.refill();
  }
  input.giveBack(state.input);
  state.cursor = cursor;
  state.bytesAllowed = static_cast<uint32_t>(end - cursor);
  return result;
}

// Decodes the codes of a fixed or dynamic block until its end-of-block code,
// a full output, or an invalid code: the fast loop while it can run, then
// code by code with every check.
BlockEnd decodeCodes(MszipState& state, const HuffmanTable& literals,
                     const HuffmanTable& distances) {
  const BlockEnd fastEnd = decodeCodesFast(state, literals, distances);
  if (fastEnd != BlockEnd::kOutputFull) return fastEnd;

  DeflateBitReader input = state.input;  // as a local, as in the fast loop
  uint8_t* const outputStart = state.outputStart;
  uint8_t* const end = state.cursor + state.bytesAllowed;
  uint8_t* cursor = state.cursor;
  BlockEnd result = BlockEnd::kOutputFull;
  while (cursor != end) {
    input.refill();  // at least 56 bits: enough for a whole match
    const HuffmanEntry entry = lookUpSymbol(input, literals);
    if (isLiteral(entry.kind)) {
      input.consume(entry.bits);
      *cursor++ = static_cast<uint8_t>(entry.value);
      continue;
    }
    if (entry.kind & kKindSpecial) {
      input.consume(entry.bits);
      result = entry.kind == kKindEndOfBlock ? BlockEnd::kEndOfBlock : BlockEnd::kFailed;
      break;
    }
    // A length is followed by its extra bits, then a distance code and its
    // extra bits.
    const unsigned length = takeBaseAndExtra(input, entry);
    const unsigned distance = decodeDistance(input, distances);
    if (distance == 0) {
      result = BlockEnd::kFailed;  // invalid code
      break;
    }
    const unsigned room = static_cast<unsigned>(end - cursor);
    cursor = copyMatch(outputStart, cursor, distance, std::min(length, room));
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
    const HuffmanEntry entry = lookUpSymbol(input, codeLengthTable);
    if (!isLiteral(entry.kind)) return false;
    input.consume(entry.bits);
    const unsigned symbol = entry.value;
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

// The Quantum decoder.
//
// Quantum is LZ77 over a window of 2^w bytes (w = 10 to 21) whose items are
// coded with an adaptive arithmetic coder: a selector says literal (from one
// of four literal models, each covering 64 byte values) or match (length 3,
// length 4, or a longer length from the length model), and a match's
// position slot comes from the position model for its length class. Extra
// bits of lengths and positions are raw bits in the same stream.
//
// The window and the models carry over from block to block until a reset;
// each block restarts the arithmetic coder at a byte boundary. The window is
// kept in memory when it can be allocated, otherwise in a spill file behind a
// small page cache (quantum_page_cache.h). The working state is kept per
// handle; the cabinet reader holds one decoder at
// a time.

#include "cabinet/quantum.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "cabinet/quantum_arithmetic_decoder.h"
#include "cabinet/quantum_model.h"
#include "cabinet/quantum_page_cache.h"
#include "cabinet/short_copy.h"

namespace ks::cabinet {
namespace {

constexpr uint32_t kQuantumTag = 0x4D555451u;  // "QTUM"
// Windows below 16 KB (w = 10 to 13) span fewer window pages than the page
// table's minimum of 3, so they are kept in memory always.
constexpr unsigned kMinimumSpillWindowBits = 14;

}  // namespace

struct QuantumWorkingState {
  unsigned windowBits;
  uint32_t windowSize;
  uint32_t windowMask;
  uint32_t windowPosition;  // bytes output since the last reset
  uint8_t* window;          // the in-memory window, or null in spill mode
  QuantumPageCache pages;   // spill mode only

  uint8_t* output;          // cursor into the caller's output buffer
  uint32_t bytesRemaining;  // for this block
  bool outputOverflow;      // a match longer than the bytes still to produce
  bool spillError;          // cleared only at creation and reset

  QuantumBitReader bits;
  QuantumArithmeticDecoder coder;
  QuantumModels models;
};

namespace {

// ---------------------------------------------------------------------------
// Output through the in-memory window

// The hot fields are copied into the object for the block's duration: the
// output goes through byte pointers, which could alias the state, so state
// fields would be reloaded after every byte.
struct InMemoryWindow {
  explicit InMemoryWindow(QuantumWorkingState& state)
      : window(state.window),
        size(state.windowSize),
        mask(state.windowMask),
        position(state.windowPosition),
        output(state.output),
        remaining(state.bytesRemaining) {}

  void store(QuantumWorkingState& state) const {
    state.windowPosition = position;
    state.output = output;
    state.bytesRemaining = remaining;
    state.outputOverflow = state.outputOverflow || overflow;
  }
  uint32_t bytesRemaining() const { return remaining; }

  inline void literal(uint8_t byte) {
    --remaining;
    window[position & mask] = byte;
    ++position;
    *output++ = byte;
  }

  inline void match(uint32_t distance, uint32_t length) {
    if (remaining < length) {
      overflow = true;
      remaining = 0;
      return;
    }
    remaining -= length;
    uint32_t source = (position - distance) & mask;
    uint32_t target = position & mask;
    position += length;
    uint8_t* const to = output;
    output += length;

    if (source + length <= size && target + length <= size) {
      // Neither end wraps: copy within the window, then out of it.
      if (length <= 16 && distance >= length) {
        // A short match that does not overlap itself (most matches):
        // whole-word copies, no calls.
        copyShort(window + target, window + source, length);
        copyShort(to, window + target, length);
        return;
      }
      if (source > target || target - source >= length) {
        // The source is ahead of the target or does not overlap it: every
        // byte is read before it is overwritten.
        std::memmove(window + target, window + source, length);
      } else {
        // A distance shorter than the length repeats the bytes just written.
        for (uint32_t i = 0; i < length; ++i) window[target + i] = window[source + i];
      }
      std::memcpy(to, window + target, length);
      return;
    }
    for (uint32_t i = 0; i < length; ++i) {
      const uint8_t byte = window[source];
      window[target] = byte;
      to[i] = byte;
      source = (source + 1) & mask;
      target = (target + 1) & mask;
    }
  }

  uint8_t* const window;
  const uint32_t size;
  const uint32_t mask;
  uint32_t position;
  uint8_t* output;
  uint32_t remaining;
  bool overflow = false;
};

// ---------------------------------------------------------------------------
// Output through the spill window

struct SpillWindow {
  explicit SpillWindow(QuantumWorkingState& working) : state(working) {}
  void store(QuantumWorkingState&) const {}
  uint32_t bytesRemaining() const { return state.bytesRemaining; }

  QuantumWorkingState& state;

  // The write position within the current output page.
  inline uint32_t pageOffset() const { return state.windowPosition & (kQuantumPageSize - 1); }

  void fail() {
    state.spillError = true;
    state.bytesRemaining = 0;
  }

  // After the output page filled up: the next window page, for writing.
  // The full page is no longer the one being written, so it may be the page
  // that makes room: with three memory pages, a match whose source spans two
  // pages leaves the output page least recently used.
  bool nextOutputPage() {
    uint32_t next = static_cast<uint32_t>(state.pages.outputPage()->windowPage) + 1;
    if (next == state.pages.pageTableSize()) next = 0;
    state.pages.setOutputPage(nullptr);
    QuantumMemoryPage* page = state.pages.fetch(next, true);
    if (page == nullptr) return false;
    state.pages.setOutputPage(page);
    return true;
  }

  inline void literal(uint8_t byte) {
    --state.bytesRemaining;
    state.pages.outputPage()->data[pageOffset()] = byte;
    ++state.windowPosition;
    *state.output++ = byte;
    if (pageOffset() == 0 && !nextOutputPage()) fail();
  }

  void match(uint32_t distance, uint32_t length) {
    if (state.bytesRemaining < length) {
      state.outputOverflow = true;
      state.bytesRemaining = 0;
      return;
    }
    state.bytesRemaining -= length;
    uint32_t source = (state.windowPosition - distance) & state.windowMask;
    // Make the output page the most recently used before fetching sources.
    QuantumMemoryPage* outputPage =
        state.pages.fetch(static_cast<uint32_t>(state.pages.outputPage()->windowPage), false);
    if (outputPage == nullptr) return fail();

    while (length != 0) {
      const uint32_t target = pageOffset();
      const uint32_t sourceOffset = source & (kQuantumPageSize - 1);
      uint32_t chunk = length;
      if (chunk > kQuantumPageSize - target) chunk = kQuantumPageSize - target;
      if (chunk > kQuantumPageSize - sourceOffset) chunk = kQuantumPageSize - sourceOffset;
      QuantumMemoryPage* sourcePage = state.pages.fetch(source / kQuantumPageSize, false);
      if (sourcePage == nullptr) return fail();
      outputPage = state.pages.outputPage();
      const uint8_t* from = sourcePage->data + sourceOffset;
      uint8_t* to = outputPage->data + target;
      if (sourcePage == outputPage && from < to && to - from < static_cast<std::ptrdiff_t>(chunk)) {
        // Overlapping within one page: byte by byte repeats what was just
        // written.
        for (uint32_t i = 0; i < chunk; ++i) to[i] = from[i];
      } else {
        std::memmove(to, from, chunk);
      }
      std::memcpy(state.output, to, chunk);
      state.output += chunk;
      state.windowPosition += chunk;
      source = (source + chunk) & state.windowMask;
      length -= chunk;
      if (pageOffset() == 0 && !nextOutputPage()) return fail();
    }
  }
};

// ---------------------------------------------------------------------------
// Decoding items

// Groups of 8 entries the search and update of each model cover: enough for
// its largest size (the position models' sizes depend on the window).
constexpr unsigned groupsFor(unsigned symbols) {
  return (symbols + 7) / 8;
}
constexpr unsigned kSelectorGroups = groupsFor(kQuantumSelectorSymbols);
constexpr unsigned kLiteralGroups = groupsFor(kQuantumLiteralSymbols);
constexpr unsigned kPosition3Groups = groupsFor(24);
constexpr unsigned kPosition4Groups = groupsFor(36);
constexpr unsigned kLengthGroups = groupsFor(kQuantumLengthSlots);
constexpr unsigned kPositionLongGroups = groupsFor(kQuantumPositionSlots);

template <typename Window>
void decodeItems(QuantumWorkingState& state, Window window) {
  // The coder's registers and the bit reader as locals (see InMemoryWindow).
  QuantumBitReader bits = state.bits;
  QuantumArithmeticDecoder coder = state.coder;
  QuantumModel* models = state.models.models;
  const QuantumSlotTables& tables = state.models.tables;

  while (window.bytesRemaining() != 0 && !bits.exhausted()) {
    const unsigned selector = coder.decode<kSelectorGroups>(models[kQuantumSelectorModel], bits);
    if (selector < kQuantumSelectorMatch3) {
      const unsigned symbol =
          coder.decode<kLiteralGroups>(models[kQuantumLiteralModel0 + selector], bits);
      window.literal(static_cast<uint8_t>(symbol + kQuantumLiteralSymbols * selector));
      continue;
    }
    uint32_t length;
    unsigned slot;
    if (selector == kQuantumSelectorMatch3) {
      length = 3;
      slot = coder.decode<kPosition3Groups>(models[kQuantumPosition3Model], bits);
    } else if (selector == kQuantumSelectorMatch4) {
      length = 4;
      slot = coder.decode<kPosition4Groups>(models[kQuantumPosition4Model], bits);
    } else {
      const unsigned lengthSlot = coder.decode<kLengthGroups>(models[kQuantumLengthModel], bits);
      length = tables.lengthBase[lengthSlot] + bits.read(tables.lengthExtraBits[lengthSlot]) +
               kQuantumLongMatchMinimum;
      slot = coder.decode<kPositionLongGroups>(models[kQuantumPositionLongModel], bits);
    }
    const uint32_t distance =
        tables.positionBase[slot] + bits.read(tables.positionExtraBits[slot]) + 1;
    window.match(distance, length);
  }
  window.store(state);
  state.bits = bits;
  state.coder = coder;
}

// Sets up the window (in memory, else spill) for a new decoder.
bool setUpWindow(QuantumWorkingState& state, const QuantumCallbacks& callbacks) {
  state.windowPosition = 0;
  state.spillError = false;
  state.windowSize = uint32_t{1} << state.windowBits;
  state.windowMask = state.windowSize - 1;
  state.window = static_cast<uint8_t*>(callbacks.alloc(state.windowSize));
  if (state.window != nullptr) {
    // Cleared once, so matches that reach never-written positions of
    // corrupt data read zeros rather than stale memory.
    std::memset(state.window, 0, state.windowSize);
    return true;
  }
  if (state.windowBits < kMinimumSpillWindowBits) return false;
  return state.pages.setUp(callbacks, state.windowSize);
}

}  // namespace
}  // namespace ks::cabinet

struct QuantumDecoder {
  uint32_t tag;
  ks::cabinet::QuantumCallbacks callbacks;
  uint32_t maximumBlockSize;
  int32_t cpuType;
  ks::cabinet::QuantumWorkingState state;
};

namespace {

bool isLive(const QuantumDecoder* handle) {
  return handle != nullptr && handle->tag == ks::cabinet::kQuantumTag;
}

}  // namespace

extern "C" DecoderResult quantumCreate(uint32_t* maximumBlockSize,
                                       const QuantumConfiguration* configuration,
                                       CabinetAlloc alloc, CabinetFree free,
                                       uint32_t* inputBufferSize, QuantumDecoder** handle,
                                       CabinetOpen open, CabinetRead read, CabinetWrite write,
                                       CabinetClose close, CabinetSeek seek) {
  using namespace ks::cabinet;
  const int32_t windowBits = configuration->windowBits;
  if (windowBits < QUANTUM_MIN_WINDOW_BITS || windowBits > QUANTUM_MAX_WINDOW_BITS) {
    return DECODER_BAD_CONFIGURATION;
  }
  if (*maximumBlockSize == 0 || *maximumBlockSize > QUANTUM_MAX_BLOCK_SIZE) {
    *maximumBlockSize = QUANTUM_MAX_BLOCK_SIZE;
  }
  *inputBufferSize = *maximumBlockSize + QUANTUM_INPUT_SLACK;
  if (handle == nullptr) return DECODER_OK;

  *handle = nullptr;
  void* memory = alloc(sizeof(QuantumDecoder));
  if (memory == nullptr) return DECODER_OUT_OF_MEMORY;
  auto* decoder = new (memory) QuantumDecoder{};
  decoder->callbacks = QuantumCallbacks{alloc, free, open, read, write, close, seek};
  decoder->maximumBlockSize = *maximumBlockSize;
  decoder->cpuType = configuration->cpuType;
  decoder->tag = kQuantumTag;
  QuantumWorkingState& state = decoder->state;
  state.windowBits = static_cast<unsigned>(windowBits);
  if (!setUpWindow(state, decoder->callbacks)) {
    decoder->tag = 0;
    free(memory);
    return DECODER_OUT_OF_MEMORY;
  }
  initQuantumModels(state.models, state.windowBits);
  *handle = decoder;
  return DECODER_OK;
}

extern "C" DecoderResult quantumDecompress(QuantumDecoder* handle, const uint8_t* input,
                                           uint32_t inputSize, uint8_t* output,
                                           uint32_t* outputSize) {
  using namespace ks::cabinet;
  if (!isLive(handle)) return DECODER_BAD_HANDLE;
  if (*outputSize > handle->maximumBlockSize) return DECODER_BUFFER_OVERFLOW;
  QuantumWorkingState& state = handle->state;
  state.bytesRemaining = *outputSize;
  state.output = output;
  state.outputOverflow = false;
  state.bits.start(input, inputSize);
  state.coder.start(state.bits);
  if (state.window != nullptr) {
    decodeItems(state, InMemoryWindow{state});
  } else {
    decodeItems(state, SpillWindow{state});
  }
  if (state.bits.exhausted() || state.outputOverflow || state.spillError) return DECODER_FAILED;
  return DECODER_OK;
}

extern "C" DecoderResult quantumReset(QuantumDecoder* handle) {
  using namespace ks::cabinet;
  if (!isLive(handle)) return DECODER_BAD_HANDLE;
  QuantumWorkingState& state = handle->state;
  state.windowPosition = 0;
  state.spillError = false;
  // A failed fetch of the first output page leaves the spill error set: the
  // next block fails, as after any spill-file failure.
  if (state.window == nullptr && !state.pages.reset()) state.spillError = true;
  initQuantumModels(state.models, state.windowBits);
  return DECODER_OK;
}

extern "C" DecoderResult quantumDestroy(QuantumDecoder* handle) {
  if (!isLive(handle)) return DECODER_BAD_HANDLE;
  ks::cabinet::QuantumWorkingState& state = handle->state;
  if (state.window != nullptr) {
    handle->callbacks.free(state.window);
  } else {
    state.pages.tearDown();
  }
  handle->tag = 0;
  CabinetFree free = handle->callbacks.free;
  free(handle);
  return DECODER_OK;
}

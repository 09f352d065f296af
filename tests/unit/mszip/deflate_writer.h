#pragma once
// A small DEFLATE writer for hand-made test streams: raw bit fields, and
// Huffman codes from code lengths (the canonical codes of RFC 1951), so a test
// can write exactly the block it means, valid or not.

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace ks::testing {

class DeflateWriter {
 public:
  DeflateWriter() : bytes_{'C', 'K'} {}

  // Writes `count` bits of `value`, least significant first.
  DeflateWriter& bits(uint32_t value, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
      if (bitCount_ == 0) bytes_.push_back(0);
      bytes_.back() |= static_cast<uint8_t>(((value >> i) & 1) << bitCount_);
      bitCount_ = (bitCount_ + 1) & 7;
    }
    return *this;
  }
  // Writes a Huffman code, most significant bit first.
  DeflateWriter& code(uint32_t code, unsigned length) {
    for (unsigned i = length; i-- > 0;) bits((code >> i) & 1, 1);
    return *this;
  }
  DeflateWriter& alignToByte() {
    bitCount_ = 0;
    return *this;
  }
  DeflateWriter& blockHeader(bool final, unsigned type) {
    return bits(final ? 1 : 0, 1).bits(type, 2);
  }

  // A stored block holding `data`.
  DeflateWriter& storedBlock(bool final, const std::vector<uint8_t>& data) {
    return storedBlockRaw(final, static_cast<uint16_t>(data.size()),
                          static_cast<uint16_t>(~data.size()), data);
  }
  // A stored block with the given LEN and NLEN fields.
  DeflateWriter& storedBlockRaw(bool final, uint16_t length, uint16_t lengthComplement,
                                const std::vector<uint8_t>& data) {
    blockHeader(final, 0).alignToByte();
    for (uint16_t field : {length, lengthComplement}) {
      bytes_.push_back(static_cast<uint8_t>(field & 0xFF));
      bytes_.push_back(static_cast<uint8_t>(field >> 8));
    }
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }
  DeflateWriter& rawBytes(const std::vector<uint8_t>& data) {
    alignToByte();
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }

  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  unsigned bitCount_ = 0;  // bits used in the last byte (0: the next bit starts a new one)
};

// Canonical codes for a list of code lengths (RFC 1951, 3.2.2).
inline std::vector<uint32_t> canonicalCodes(const std::vector<uint8_t>& lengths) {
  unsigned count[16] = {};
  for (uint8_t length : lengths) ++count[length];
  count[0] = 0;
  uint32_t next[16] = {};
  uint32_t code = 0;
  for (unsigned bits = 1; bits < 16; ++bits) {
    code = (code + count[bits - 1]) << 1;
    next[bits] = code;
  }
  std::vector<uint32_t> codes(lengths.size());
  for (size_t symbol = 0; symbol < lengths.size(); ++symbol) {
    if (lengths[symbol] != 0) codes[symbol] = next[lengths[symbol]]++;
  }
  return codes;
}

// Code lengths for a count of codes per length (counts[1] to counts[15]),
// shortest first: the table size of a code depends only on these counts.
inline std::vector<uint8_t> lengthsFromCounts(std::span<const unsigned> counts) {
  std::vector<uint8_t> lengths;
  for (unsigned length = 1; length <= 15; ++length) {
    lengths.insert(lengths.end(), counts[length], static_cast<uint8_t>(length));
  }
  return lengths;
}

// A Huffman code given by its lengths, for writing symbols.
struct HuffmanWriterCode {
  std::vector<uint8_t> lengths;
  std::vector<uint32_t> codes;
  explicit HuffmanWriterCode(std::vector<uint8_t> codeLengths)
      : lengths(std::move(codeLengths)), codes(canonicalCodes(lengths)) {}
  void write(DeflateWriter& out, unsigned symbol) const {
    out.code(codes[symbol], lengths[symbol]);
  }
};

// The fixed literal/length code (288 symbols) and distance code (30 symbols
// of 5 bits; symbols 30 and 31 have codes too, which the decoder refuses).
inline HuffmanWriterCode fixedLiteralCode() {
  std::vector<uint8_t> lengths(288);
  for (unsigned i = 0; i < 288; ++i) lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
  return HuffmanWriterCode(lengths);
}
inline HuffmanWriterCode fixedDistanceCode() {
  return HuffmanWriterCode(std::vector<uint8_t>(32, 5));
}

// The code-length code used by writeDynamicHeader: lengths 4 for symbols 0-12
// and 5 for 13-18 (complete: 13 x 2 + 6 = 32 of 32 five-bit patterns).
inline HuffmanWriterCode headerCodeLengthCode() {
  std::vector<uint8_t> lengths(19);
  for (unsigned s = 0; s < 19; ++s) lengths[s] = s <= 12 ? 4 : 5;
  return HuffmanWriterCode(lengths);
}

// Writes a dynamic block header: HLIT, HDIST, HCLEN = 19, the code-length
// code above, then the given code-length symbols (each a symbol with its
// extra-bit value: {symbol, extra}).
struct CodeLengthSymbol {
  unsigned symbol;
  unsigned extra = 0;
};
inline void writeDynamicHeaderSymbols(DeflateWriter& out, bool final, unsigned literalCodes,
                                      unsigned distanceCodes,
                                      const std::vector<CodeLengthSymbol>& symbols) {
  static constexpr uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                         11, 4,  12, 3, 13, 2, 14, 1, 15};
  HuffmanWriterCode codeLengthCode = headerCodeLengthCode();
  out.blockHeader(final, 2);
  out.bits(literalCodes - 257, 5);
  out.bits(distanceCodes - 1, 5);
  out.bits(19 - 4, 4);
  for (unsigned i = 0; i < 19; ++i) out.bits(codeLengthCode.lengths[kOrder[i]], 3);
  for (const CodeLengthSymbol& s : symbols) {
    codeLengthCode.write(out, s.symbol);
    if (s.symbol == 16) out.bits(s.extra, 2);
    if (s.symbol == 17) out.bits(s.extra, 3);
    if (s.symbol == 18) out.bits(s.extra, 7);
  }
}

// Writes a dynamic block header that sends every code length literally.
inline void writeDynamicHeader(DeflateWriter& out, bool final,
                               const std::vector<uint8_t>& literalLengths,
                               const std::vector<uint8_t>& distanceLengths) {
  std::vector<CodeLengthSymbol> symbols;
  for (uint8_t length : literalLengths) symbols.push_back({length});
  for (uint8_t length : distanceLengths) symbols.push_back({length});
  writeDynamicHeaderSymbols(out, final, static_cast<unsigned>(literalLengths.size()),
                            static_cast<unsigned>(distanceLengths.size()), symbols);
}

}  // namespace ks::testing

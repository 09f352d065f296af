#include "catalog/version_block.h"

#include <algorithm>
#include <cstddef>

namespace ks {

namespace {

// Every node of the tree has the same shape, in little-endian 16-bit words:
//   wLength       bytes of the node with its value and children
//   wValueLength  length of the value: bytes, or UTF-16 characters for text
//   wType         1 for a text value, 0 for binary data
//   szKey         the node's key, UTF-16, NUL-terminated
// then padding to a 32-bit boundary, the value, padding again, and the
// children one after the other, each starting on a 32-bit boundary. The
// boundaries count from the start of the block.
constexpr std::size_t kNodeHeaderBytes = 6;
constexpr std::uint16_t kTextValue = 1;

// A path deeper than this is not a real query (real ones have at most three
// levels); refusing it keeps the descent bounded.
constexpr std::size_t kMaxQueryDepth = 16;

struct Node {
  std::size_t begin = 0;  // first byte of the node
  std::size_t end = 0;    // one past its last byte (wLength, inside the parent)
  std::size_t keyBegin = 0;
  std::size_t keyEnd = 0;  // the key's terminating NUL
  std::size_t valueBegin = 0;
  std::size_t valueEnd = 0;
  std::size_t childrenBegin = 0;
};

std::uint16_t word(const std::vector<std::uint8_t>& block, std::size_t at) {
  return static_cast<std::uint16_t>(block[at] | (block[at + 1] << 8));
}

std::size_t alignUp4(std::size_t offset) {
  return (offset + 3) & ~std::size_t{3};
}

// Reads the node at begin, which must fit inside limit. The value is cut at
// the node's end: some tools count a text value in bytes instead of
// characters, and such a length runs past the node.
bool readNode(const std::vector<std::uint8_t>& block, std::size_t begin, std::size_t limit,
              Node& node) {
  if (limit > block.size() || begin > limit || limit - begin < kNodeHeaderBytes) return false;
  const std::size_t length = word(block, begin);
  if (length < kNodeHeaderBytes || length > limit - begin) return false;
  node.begin = begin;
  node.end = begin + length;
  node.keyBegin = begin + kNodeHeaderBytes;
  std::size_t at = node.keyBegin;
  while (at + 2 <= node.end && word(block, at) != 0) at += 2;
  if (at + 2 > node.end) return false;  // the key has no NUL inside the node
  node.keyEnd = at;
  const std::size_t valueLength = word(block, begin + 2);
  const bool text = word(block, begin + 4) == kTextValue;
  node.valueBegin = std::min(alignUp4(at + 2), node.end);
  node.valueEnd =
      node.valueBegin + std::min(text ? valueLength * 2 : valueLength, node.end - node.valueBegin);
  node.childrenBegin = std::min(alignUp4(node.valueEnd), node.end);
  return true;
}

char foldAscii(std::uint32_t c) {
  if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
  return static_cast<char>(c);
}

// Compares the node's key with name; bytes of name stand for the code units
// of the same value.
bool keyMatches(const std::vector<std::uint8_t>& block, const Node& node, std::string_view name) {
  if (node.keyEnd - node.keyBegin != name.size() * 2) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const std::uint16_t unit = word(block, node.keyBegin + i * 2);
    if (unit >= 0x100 || foldAscii(unit) != foldAscii(static_cast<unsigned char>(name[i]))) {
      return false;
    }
  }
  return true;
}

// The direct child of parent whose key is name.
bool findChild(const std::vector<std::uint8_t>& block, const Node& parent, std::string_view name,
               Node& child) {
  std::size_t at = parent.childrenBegin;
  while (at < parent.end && readNode(block, at, parent.end, child)) {
    if (keyMatches(block, child, name)) return true;
    at = alignUp4(child.end);  // each node is at least 6 bytes: the walk moves on
  }
  return false;
}

// Splits off the next key of a sub-block path, passing over separators.
std::string_view nextKey(std::string_view& path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  const std::size_t end = std::min(path.find('\\'), path.size());
  const std::string_view key = path.substr(0, end);
  path.remove_prefix(end);
  return key;
}

bool findNode(const std::vector<std::uint8_t>& block, std::string_view subBlock, Node& node) {
  if (!readNode(block, 0, block.size(), node)) return false;
  for (std::size_t depth = 0;; ++depth) {
    const std::string_view key = nextKey(subBlock);
    if (key.empty()) return true;
    if (depth == kMaxQueryDepth) return false;
    Node child;
    if (!findChild(block, node, key, child)) return false;
    node = child;
  }
}

}  // namespace

bool queryVersionValue(const std::vector<std::uint8_t>& block, std::string_view subBlock,
                       std::vector<std::uint8_t>& value) {
  Node node;
  if (!findNode(block, subBlock, node)) return false;
  const auto first = block.begin() + static_cast<std::ptrdiff_t>(node.valueBegin);
  value.assign(first, first + static_cast<std::ptrdiff_t>(node.valueEnd - node.valueBegin));
  return true;
}

bool queryVersionString(const std::vector<std::uint8_t>& block, std::string_view subBlock,
                        std::string& text) {
  Node node;
  if (!findNode(block, subBlock, node)) return false;
  text.clear();
  for (std::size_t at = node.valueBegin; at + 2 <= node.valueEnd; at += 2) {
    const std::uint16_t unit = word(block, at);
    if (unit == 0) break;
    text.push_back(unit < 0x100 ? static_cast<char>(unit) : '?');
  }
  return true;
}

}  // namespace ks

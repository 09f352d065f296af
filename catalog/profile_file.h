#pragma once
// Reads an ini-style profile file with the rules the setup relies on:
// sections in square brackets, key=value lines, section and key names found
// without regard to case, values without surrounding blanks and without one
// pair of enclosing quotation marks, texts cut to the caller's buffer size,
// integers from their leading decimal digits.
//
// Further choices of this reader: a line whose first non-blank character is
// ';' is a comment; lines before the first section, and lines without '=',
// are ignored; when a section or key appears twice, lookups find the first;
// both "\n" and "\r\n" end a line, and a UTF-8 byte order mark at the start
// is skipped.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

class ProfileFile {
 public:
  static ProfileFile parse(std::string_view text);

  // The section names in file order, as far as a list of listBytes bytes
  // holds them (each name followed by a zero, the list by one more zero).
  // A name that would fit only in part is left out with all names after it.
  std::vector<std::string> sectionNames(std::size_t listBytes) const;

  // The value of key in section, or defaultValue when either is missing; cut
  // to what a buffer of bufferBytes bytes holds.
  std::string readString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t bufferBytes) const;

  // The value read as an unsigned decimal number from its leading digits (0
  // without any, digits beyond 32 bits wrap around); defaultValue when the
  // section or key is missing.
  std::uint32_t readInt(std::string_view section, std::string_view key,
                        std::uint32_t defaultValue) const;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  const Entry* findEntry(std::string_view section, std::string_view key) const;

  std::vector<Section> sections_;
};

}  // namespace ks

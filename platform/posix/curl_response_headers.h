#pragma once
// The header lines of an HTTP answer as the client hands them over, one line
// at a time (with their line ends): the status line, fields, a blank line.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ks {

// The status code of a line like "HTTP/1.1 200 OK" or "HTTP/2 404";
// false when the line is not a status line.
bool parseStatusLine(std::string_view line, int& statusCode);

// "Name: value": the name and the value without surrounding blanks; false
// when the line has no colon or an empty name.
bool parseHeaderField(std::string_view line, std::string& name, std::string& value);

enum class HeaderLine { Status, Field, End, Other };

class ResponseHeaders {
 public:
  // Takes one line; a status line starts a new answer.
  HeaderLine addLine(std::string_view line);

  int statusCode() const { return statusCode_; }
  // The value of the first field of that name (found without regard to case).
  bool find(std::string_view name, std::string& value) const;
  // The answer is a redirect the client follows (3xx with a Location).
  bool isRedirect() const;

 private:
  // A hostile server can't make the list grow without bound.
  static constexpr std::size_t kMaxFields = 200;
  int statusCode_ = 0;
  std::vector<std::pair<std::string, std::string>> fields_;
};

}  // namespace ks

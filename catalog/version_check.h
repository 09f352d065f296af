#pragma once
// Finding out which version of a component is installed. A VersionCheck
// expression is a list of probe calls such as
//   FileVersion("%InstallDir%\kestrova.exe") FileExist("%InstallDir%")
// run from left to right until one of them yields a version.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/setup_context.h"

namespace ks {

// Longest probe argument, before and after placeholder expansion.
inline constexpr std::size_t kMaxProbeArgumentChars = 259;
// Placeholder expansion works in a buffer of this size.
inline constexpr std::size_t kExpansionBufferBytes = 1024;

inline constexpr std::int32_t E_FAIL_RESULT = static_cast<std::int32_t>(0x80004005u);

// Runs the expression; result gets the installed version (at most 19
// characters, "" = not installed). False for an empty expression or a
// malformed call; then the result is empty (it is left alone when the
// expression is empty).
bool evaluateVersionCheck(SetupContext& context, std::string_view expression, std::string& result);

// True when installed orders strictly before required, compared part by part
// between the dots: two numbers by value (1.0.9 before 1.0.10; an empty or
// missing part is 0, so 1.0 equals 1.0.0), other parts as text.
bool versionIsBelow(std::string_view installed, std::string_view required);

// Replaces "%InstallDir%", "%SystemDir%" and "%WindowsDir%" (in that order,
// with case) by the folders of the setup state. False when an intermediate
// text would not fit the expansion buffer.
bool expandPlaceholders(const SetupState& state, std::string_view text, std::string& output);

// destination = source with every occurrence of pattern replaced; text that a
// replacement inserted is not searched again. An empty pattern replaces nothing.
bool replaceAll(std::string_view source, std::string& destination, std::string_view pattern,
                std::string_view replacement);

// The first position at or after pos that holds neither a space nor a tab.
std::size_t skipBlanks(std::string_view text, std::size_t pos);

bool pathExists(SetupContext& context, const std::string& path);

// False only when the file has no version information at all (output left
// alone); otherwise true, with output holding the "FileVersion" text of the
// first listed translation, commas turned into dots, or "".
bool getFileVersionString(SetupContext& context, const std::string& path, std::string& output);

// Asks a library for its DllGetVersion. 0 (or the call's success code) on
// success; E_FAIL_RESULT when an output is missing, the library can't be
// loaded or the call fails. A library without the export reports 4.0.0.
std::int32_t getDllVersion(SetupContext& context, const std::string& library, int* major,
                           int* minor, int* build);

}  // namespace ks

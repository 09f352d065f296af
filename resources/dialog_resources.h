#pragma once
// Resources of the dialogs beside the wizard pages: the system icon an icon
// control can name, and the dialog that asks for a user name and password
// when a server (401) or a proxy (407) wants them.

#include <string>
#include <string_view>

namespace ks {

// The system's exclamation icon (IDI_EXCLAMATION), shown by an icon control
// whose template names this id as its image.
inline constexpr int kSystemExclamationIcon = 32515;

inline constexpr int kIddPassword = 9001;
inline constexpr int kIdcPasswordPrompt = 9002;
inline constexpr int kIdcPasswordUserName = 9003;
inline constexpr int kIdcPasswordPassword = 9004;

inline constexpr const char* kPasswordDialogCaption = "Enter Network Password";
// "%s" stands for the server or the proxy as configured.
inline constexpr const char* kPasswordServerPrompt =
    "The server %s asks for a user name and password.";
inline constexpr const char* kPasswordProxyPrompt =
    "The proxy server %s asks for a user name and password.";
inline constexpr const char* kPasswordUserNameLabel = "&User name:";
inline constexpr const char* kPasswordPasswordLabel = "&Password:";

// The prompt of the password question for a server, or for the proxy.
inline std::string passwordPrompt(bool proxy, std::string_view server) {
  std::string prompt = proxy ? kPasswordProxyPrompt : kPasswordServerPrompt;
  const std::size_t at = prompt.find("%s");
  if (at != std::string::npos) prompt.replace(at, 2, server);
  return prompt;
}

}  // namespace ks

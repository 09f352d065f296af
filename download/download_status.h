#pragma once
// The status callback of a download: turns the client's notifications into
// the texts of the page's status, source, folder and progress lines.

#include <cstdint>
#include <string>

#include "platform/internet_api.h"

namespace ks {

struct DownloadJob;

// The status line of a transfer that failed.
inline constexpr const char* kDownloadFailedText = "Download failed.";

// The status line for a notification; empty when it sets none. A closing
// handle says how the transfer ended ("Download successfull", "Download
// failed." or that the server is too slow).
std::string statusText(const DownloadJob& job, std::uint32_t status);

// INTERNET_STATUS_CALLBACK for a transfer; context is the DownloadJob.
void downloadStatusCallback(InternetHandle handle, void* context, std::uint32_t status,
                            const void* info, std::uint32_t infoLength);

}  // namespace ks

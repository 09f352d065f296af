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
// A package that arrived whole but without the digest the version-info file
// gives: the status line of its transfer, and of the page when no site had
// it right.
inline constexpr const char* kPackageDamagedText =
    "Package is damaged or was changed (SHA-256 mismatch).";

// The status line for a notification; empty when it sets none. A closing
// handle says how the transfer ended ("Download successfull", "Download
// failed.", that the server is too slow, why its certificate was refused,
// or that the package is damaged).
std::string statusText(const DownloadJob& job, std::uint32_t status);

// INTERNET_STATUS_CALLBACK for a transfer; context is the DownloadJob.
void downloadStatusCallback(InternetHandle handle, void* context, std::uint32_t status,
                            const void* info, std::uint32_t infoLength);

// The same for a transfer that shows nothing but its progress bar.
void downloadBarCallback(InternetHandle handle, void* context, std::uint32_t status,
                         const void* info, std::uint32_t infoLength);

}  // namespace ks

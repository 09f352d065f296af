#pragma once
// The catalog of download sites and components read from the version-info
// file, and the Component record that also serves as a download job.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/hashing.h"
#include "platform/internet_api.h"

namespace ks {

// Buffer sizes of the catalog's texts (each counts the terminating zero).
inline constexpr std::size_t kSiteNameBytes = 255;
inline constexpr std::size_t kGroupNameBytes = 256;
inline constexpr std::size_t kVersionBytes = 20;
inline constexpr std::size_t kVersionCheckBytes = 512;
inline constexpr std::size_t kTitleBytes = 255;
inline constexpr std::size_t kDescriptionBytes = 512;

inline constexpr int kMaxSites = 10;
inline constexpr int kMaxGroups = 10;
inline constexpr int kMaxComponents = 20;
inline constexpr int kMaxUrls = 10;

struct DownloadSite {
  std::string name;
};

struct ComponentGroup {
  std::string name;
  // The group's item in the component tree; 0 until the page builds the tree.
  std::uintptr_t treeItem = 0;
};

// The page that receives WM_DOWNLOAD_BEGIN and WM_DOWNLOAD_END for a transfer.
class DownloadNotifyWindow;
// Receives the status notifications of a transfer (connection and progress
// texts); its context is the transfer's DownloadJob. Null for no texts.
using DownloadStatusCallback = InternetStatusCallback;

// Where a package stands in the queue of the Download and Install page, for
// the overall progress line under the progress bar. count 0: the download is
// not part of a queue and has no such line.
struct QueueProgress {
  int package = 0;  // from 1
  int count = 0;
  // Bytes of the packages already fetched, and of the whole queue as far as
  // it is known: what the finished ones measured, the catalog's sizes of the
  // others (the running one's included, as packageEstimate).
  std::uint64_t bytesBefore = 0;
  std::uint64_t bytesTotal = 0;
  std::uint64_t packageEstimate = 0;
};

struct Component {
  int selected = 0;
  int required = 0;
  int locallyAvailable = 0;
  int download = 0;
  int install = 0;
  int installMethod = 0;
  std::string title;
  std::string description;
  std::string versionCheck;
  std::uint32_t sizeKb = 0;  // kilobytes, as the file gives them
  std::string localPath;
  std::string installedVersion;
  std::string requiredVersion;
  std::string availableVersion;
  int groupIndex = 0;
  int urlIndex = 0;
  int urlCount = 0;
  std::array<std::string, kMaxUrls> urls{};
  std::array<int, kMaxUrls> urlFailed{};
  DownloadNotifyWindow* notifyWindow = nullptr;
  DownloadStatusCallback statusCallback = nullptr;
  // The largest file a download of this record may bring, in bytes; 0 for
  // no limit. Set by the page that starts the download.
  std::uint64_t downloadLimit = 0;
  // The package's digest ("SHA256"): when given, a package is installed only
  // when it has exactly this digest.
  std::optional<Sha256Digest> sha256;
  // Why the component can't be installed at all (its "SHA256" value is
  // malformed); empty when it can.
  std::string unavailableReason;
  QueueProgress queueProgress;
};

struct VersionCatalog {
  int siteCount = 0;
  std::array<DownloadSite, kMaxSites> sites{};
  int groupCount = 0;
  std::array<ComponentGroup, kMaxGroups> groups{};
  int componentCount = 0;
  // Each record is owned by the catalog.
  std::array<std::unique_ptr<Component>, kMaxComponents> components{};
};

// The file name of a component's package: the text after the last "/" of its
// first URL, or "" when that URL has no "/".
std::string packageFileName(const Component& component);

// The most bytes a package may have when the catalog declares its size:
// 16 times the declared size and 1 MiB more; 0 (no limit) without a size.
std::uint64_t plausiblePackageBytes(const Component& component);

class FileSystem;

// The full path of the component's package in folder. False when the name
// from the URL is unusable as a file name ("", ".", "..", or holding a path
// separator) or the path is too long for the platform: nothing may be
// written outside the folder.
bool makePackagePath(FileSystem& files, const std::string& folder, const Component& component,
                     std::string& path);

}  // namespace ks

#pragma once
// What the user sees of a transfer beyond its own texts: the progress bar's
// position, and the overall line of the queue ("Package 2 of 3 — 14.2 MB of
// 20.0 MB").

#include <cstdint>
#include <string>

#include "catalog/catalog_records.h"
#include "download/download_job.h"

namespace ks {

// The bar's position for the job's counts: the share of the expected size,
// 0 while the size is not known.
int progressBarPosition(const DownloadJob& job);

// A byte count in the unit that suits `scale` (bytes below a kilobyte,
// kilobytes with one decimal below a megabyte, megabytes above), so a count
// and the total it belongs to read alike and a small file never shows as 0.
std::string byteCountText(std::uint64_t bytes, std::uint64_t scale);

// The overall line while the queue's current package has received `received`
// bytes of `expected` (0 or less when not known yet: the catalog's estimate
// stands in).
std::string queueProgressLine(const QueueProgress& queue, std::uint64_t received,
                              std::int64_t expected);

}  // namespace ks

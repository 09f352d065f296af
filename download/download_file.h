#pragma once
// One transfer of an "http://" or "ftp://" URL into the job's target file.

#include "catalog/catalog_records.h"
#include "download/download_job.h"
#include "platform/internet_api.h"

namespace ks {

// True when the whole file arrived and was written. A failure leaves an
// existing target untouched if the server never answered, and keeps the
// bytes written so far otherwise. callback may be null (no texts).
bool downloadFile(InternetApi& internet, DownloadStatusCallback callback, DownloadJob& job);

}  // namespace ks

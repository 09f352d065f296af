#pragma once
// One transfer of an "http://" or "ftp://" URL into the job's target file.

#include "catalog/catalog_records.h"
#include "download/download_job.h"
#include "platform/file_system.h"
#include "platform/internet_api.h"

namespace ks {

// True when the whole file arrived and was written. A failure leaves an
// existing target untouched if the server never answered, and keeps the
// bytes written so far otherwise. callback may be null (no texts). The file
// is written through files.
bool downloadFile(InternetApi& internet, FileSystem& files, DownloadStatusCallback callback,
                  DownloadJob& job);

}  // namespace ks

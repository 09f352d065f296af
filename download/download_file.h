#pragma once
// One transfer of an "http://", "https://" or "ftp://" URL into the job's
// target file.

#include "catalog/catalog_records.h"
#include "download/download_job.h"
#include "platform/file_system.h"
#include "platform/internet_api.h"

namespace ks {

// True when the whole file arrived, was written and, when the job expects a
// digest, has it; only then does the target get its name, so a failure
// never touches an existing target. A transfer that broke off keeps what it
// received (download/target_file.h), and the next one at the same URL asks
// only for the rest: "Range: bytes=N-" over HTTP (a 206 answer continues
// the file, any other 2xx starts it again), REST over FTP. callback may be
// null (no texts). The file is written through files.
bool downloadFile(InternetApi& internet, FileSystem& files, DownloadStatusCallback callback,
                  DownloadJob& job);

}  // namespace ks

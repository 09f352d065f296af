#pragma once
// The progress line of a transfer: kilobytes received, the share of the
// expected size and the average speed since the response began.

#include <ctime>
#include <string>

#include "download/download_job.h"

namespace ks {

// The line for the job's counts at time `now`. The speed is the average over
// the whole transfer; within the first second it is the byte count itself.
std::string formatProgressLine(const DownloadJob& job, std::time_t now);

// Status RESPONSE_RECEIVED before the first block was counted: the response
// begins now and the speed is 0.
std::string startProgressLine(DownloadJob& job, std::time_t now);

}  // namespace ks

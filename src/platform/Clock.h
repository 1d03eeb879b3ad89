// The time of a run, as the log and the backup's names write it.
#pragma once

#include <string>

// Local time in ISO 8601 with its offset from UTC: "2026-12-09T12:01:22+09:00".
std::string LocalTimeWithOffset();

// UTC, compact, for file names: "20261209T030122Z".
std::string UtcStamp();

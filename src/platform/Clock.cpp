#include "platform/Clock.h"

#include <cstdio>
#include <ctime>

namespace {

std::string Format(const std::tm& time, const char* format) {
  char text[64] = "";
  return std::strftime(text, sizeof text, format, &time) > 0 ? text : "";
}

// Seconds east of UTC: the local and the UTC reading of one moment, which
// lie at most a day apart.
long OffsetFromUtc(const std::tm& local, const std::tm& utc) {
  long days = 0;
  if (local.tm_year != utc.tm_year)
    days = local.tm_year > utc.tm_year ? 1 : -1;
  else
    days = local.tm_yday - utc.tm_yday;
  return days * 86400 + (local.tm_hour - utc.tm_hour) * 3600L + (local.tm_min - utc.tm_min) * 60L;
}

}  // namespace

std::string LocalTimeWithOffset() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = *std::localtime(&now);
  const std::tm utc = *std::gmtime(&now);
  const long offset = OffsetFromUtc(local, utc);
  const int minutes = static_cast<int>((offset < 0 ? -offset : offset) / 60) % (24 * 60);
  char zone[16] = "";
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return Format(local, "%Y-%m-%dT%H:%M:%S") + zone;
}

std::string UtcStamp() {
  const std::time_t now = std::time(nullptr);
  return Format(*std::gmtime(&now), "%Y%m%dT%H%M%SZ");
}

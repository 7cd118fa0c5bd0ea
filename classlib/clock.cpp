#include "classlib/clock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/time.h>
#include <ctime>
#endif

namespace classlib {
namespace {

std::function<TDateTime()>& TestClock() {
  static std::function<TDateTime()> clock;
  return clock;
}

TDateTime SystemNow() {
#ifdef _WIN32
  SYSTEMTIME t;
  GetLocalTime(&t);
  return EncodeDate(t.wYear, t.wMonth, t.wDay) + EncodeTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
#else
  timeval tv;
  gettimeofday(&tv, nullptr);
  std::tm local;
  localtime_r(&tv.tv_sec, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                    static_cast<int>(tv.tv_usec / 1000));
#endif
}

}  // namespace

TDateTime Now() { return TestClock() ? TestClock()() : SystemNow(); }

void SetClockForTesting(std::function<TDateTime()> clock) { TestClock() = std::move(clock); }

}  // namespace classlib

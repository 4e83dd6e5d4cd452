// The date and time picture language shared by the posix backend and test clocks.
#include <cstdio>

#include "platform/clock.h"

namespace mv {

namespace {

// Appends value with at least `digits` digits (zero padded).
void AppendNumber(std::string& out, int value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", digits, value);
  out += text;
}

}  // namespace

std::string FormatPicture(const LocalTime& time, std::string_view picture) {
  std::string out;
  std::size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    switch (c) {
      case 'd':
        AppendNumber(out, time.day, run >= 2 ? 2 : 1);
        break;
      case 'M':
        AppendNumber(out, time.month, run >= 2 ? 2 : 1);
        break;
      case 'y':
        if (run >= 4) {
          AppendNumber(out, time.year, 4);
        } else {
          AppendNumber(out, time.year % 100, 2);
        }
        break;
      case 'H':
        AppendNumber(out, time.hour, run >= 2 ? 2 : 1);
        break;
      case 'h': {
        const int h12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
        AppendNumber(out, h12, run >= 2 ? 2 : 1);
        break;
      }
      case 'm':
        AppendNumber(out, time.minute, run >= 2 ? 2 : 1);
        break;
      case 's':
        AppendNumber(out, time.second, run >= 2 ? 2 : 1);
        break;
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

}  // namespace mv

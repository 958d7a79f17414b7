#include "avffmpeglog.h"

#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace {
// Warnings and worse say why a file does not open or a frame is broken; INFO and below are
// stream dumps, encoder statistics and per-packet chatter that nobody reads in a log file.
constexpr int kLevel = AV_LOG_WARNING;
// Lines of one message written in a burst; the rest are counted. This also cuts lines that
// alternate (A B A B), which never equal the line before them.
constexpr int kBurstLines = 3;
// A message unseen for this long has ended its burst: its count is written, its next line too.
constexpr std::chrono::seconds kQuiet{1};
// Messages a flood takes turns between; a damaged H.264 stream alone sends some fifteen.
constexpr int kBursts = 32;
constexpr int kLineSize = 1024;
constexpr int kSampleSize = 160;

using Clock = std::chrono::steady_clock;

// A message is its format, its level and its context's class, not the context itself: a decoder
// logs from a context of its own on each of its threads, and what a flood writes must not grow
// with the number of threads.
struct Burst
{
  const char *format = nullptr; // null: a free slot
  const AVClass *avClass = nullptr;
  int level = 0;
  int written = 0;
  unsigned long long held = 0; // lines counted, not written
  Clock::time_point last;
  char sample[kSampleSize] = {}; // the last line written, named by the count
};

struct LogState
{
  std::mutex mutex;
  char previous[kLineSize] = {};
  const void *previousContext = nullptr;
  int previousLevel = 0;
  Burst *previousBurst = nullptr;
  bool previousHeld = false;
  unsigned long long repeats = 0; // of the previous line, written
  Burst bursts[kBursts];
};

LogState g_log;

// A line FFmpeg sends in parts ("Packet corrupt (...)" then ".\n"), gathered until its newline
// on the thread sending it, as several threads log at once.
struct OpenLine
{
  void *context = nullptr;
  int level = 0;
  const char *format = nullptr; // the first part's: the message it counts as
  size_t length = 0;
  char text[kLineSize] = {};

  ~OpenLine(); // a thread ending with a line open writes it as it is
};

thread_local OpenLine t_openLine;

void _write(int level, const char *text)
{
  if (level <= AV_LOG_ERROR)
    qCritical("FFmpeg: %s", text);
  else if (level <= AV_LOG_WARNING)
    qWarning("FFmpeg: %s", text);
  else if (level <= AV_LOG_INFO)
    qInfo("FFmpeg: %s", text);
  else
    qDebug("FFmpeg: %s", text);
}

void _writeRepeats()
{
  if (g_log.repeats > 0) {
    char line[64];
    std::snprintf(line, sizeof line, "last message repeated %llu times", g_log.repeats);
    _write(g_log.previousLevel, line);
  }
  g_log.repeats = 0;
}

void _endBurst(Burst &burst)
{
  if (burst.held > 0) {
    char line[kSampleSize + 64];
    std::snprintf(line, sizeof line, "%llu more like \"%s\" not written", burst.held, burst.sample);
    _write(burst.level, line);
  }
  if (g_log.previousBurst == &burst)
    g_log.previousBurst = nullptr;
  burst = Burst();
}

// The burst of this message: its own, else a free slot or the one quiet the longest. Bursts
// quiet for kQuiet end first.
Burst &_burstOf(const char *format, const AVClass *avClass, int level, Clock::time_point now)
{
  Burst *found = nullptr;
  Burst *oldest = &g_log.bursts[0];
  for (Burst &burst : g_log.bursts) {
    if (burst.format && now - burst.last > kQuiet)
      _endBurst(burst);
    if (burst.format == format && burst.avClass == avClass && burst.level == level)
      found = &burst;
    if (burst.last < oldest->last) // a free slot's is the clock's epoch
      oldest = &burst;
  }
  if (found)
    return *found;
  _endBurst(*oldest);
  oldest->format = format;
  oldest->avClass = avClass;
  oldest->level = level;
  return *oldest;
}

// One line, without its newline; control characters from a file's own strings become '?'.
void _cleanLine(char *line)
{
  size_t length = std::strlen(line);
  while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
    line[--length] = '\0';
  for (size_t i = 0; i < length; ++i)
    if (static_cast<unsigned char>(line[i]) < 0x20 && line[i] != '\t')
      line[i] = '?';
}

// FFmpeg's line for text: its prefix naming the context, then the text.
void _formatLine(char *line, void *context, int level, const char *format, ...)
{
  va_list args;
  va_start(args, format);
  int printPrefix = 1;
  av_log_format_line2(context, level, format, args, line, kLineSize, &printPrefix);
  va_end(args);
}

// Takes one whole message under the lock: counted, or written with FFmpeg's prefix.
void _take(void *context, int level, const char *format, const char *text)
{
  const Clock::time_point now = Clock::now();
  Burst *previous = g_log.previousBurst;
  if (previous && g_log.previousContext == context && previous->level == level && now - previous->last <= kQuiet &&
      std::strcmp(text, g_log.previous) == 0) {
    previous->last = now;
    if (g_log.previousHeld)
      ++previous->held;
    else
      ++g_log.repeats;
    return;
  }
  _writeRepeats();
  const AVClass *avClass = context ? *static_cast<const AVClass *const *>(context) : nullptr;
  Burst &burst = _burstOf(format, avClass, level, now);
  burst.last = now;
  std::snprintf(g_log.previous, sizeof g_log.previous, "%s", text);
  g_log.previousContext = context;
  g_log.previousLevel = level;
  g_log.previousBurst = &burst;
  g_log.previousHeld = burst.written >= kBurstLines;
  if (g_log.previousHeld) {
    ++burst.held;
    return;
  }
  char full[kLineSize];
  _formatLine(full, context, level, "%s", text);
  _cleanLine(full);
  ++burst.written;
  std::snprintf(burst.sample, sizeof burst.sample, "%s", full);
  _write(level, full);
}

void _takeOpenLine(OpenLine &open)
{
  if (open.length == 0)
    return;
  {
    std::lock_guard<std::mutex> lock(g_log.mutex);
    _take(open.context, open.level, open.format, open.text);
  }
  open.length = 0;
  open.text[0] = '\0';
}

OpenLine::~OpenLine()
{
  _takeOpenLine(*this);
}

void _callback(void *context, int level, const char *format, va_list args)
{
  // FFmpeg calls this for every message, also below the level: this test comes first.
  if (level >= 0)
    level &= 0xff;
  if (level > av_log_get_level())
    return;
  // The text alone tells a repeat, the prefix following from the context: the prefix is
  // formatted only for a line written (FFmpeg's formatting of it costs twice the text's).
  char part[kLineSize];
  const int length = std::vsnprintf(part, sizeof part, format, args);
  if (length <= 0)
    return;
  OpenLine &open = t_openLine;
  // A line left open by another context, or at another level, is not glued to this one.
  if (open.length > 0 && (open.context != context || open.level != level))
    _takeOpenLine(open);
  if (open.length == 0) {
    open.context = context;
    open.level = level;
    open.format = format;
  }
  const size_t room = sizeof open.text - 1 - open.length;
  const size_t taken = std::min(static_cast<size_t>(length), room);
  std::memcpy(open.text + open.length, part, taken);
  open.length += taken;
  open.text[open.length] = '\0';
  // FFmpeg ends a line with a newline, or with a carriage return to write over it. A line
  // filling the buffer is taken cut.
  const char last = part[std::min(length, kLineSize - 1) - 1];
  if (last != '\n' && last != '\r' && open.length < sizeof open.text - 1)
    return;
  _takeOpenLine(open);
}
} // namespace

void avInstallFFmpegLog()
{
  static std::once_flag once;
  std::call_once(once, [] {
    av_log_set_level(kLevel);
    av_log_set_callback(_callback);
  });
}

void avFlushFFmpegLog()
{
  _takeOpenLine(t_openLine);
  std::lock_guard<std::mutex> lock(g_log.mutex);
  _writeRepeats();
  for (Burst &burst : g_log.bursts)
    _endBurst(burst);
  g_log.previousBurst = nullptr;
}

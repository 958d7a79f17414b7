// A text segment holding 10 MB of text: the time to paint its timeline block and to rasterise its
// layer picture, for a text of many lines and for one long paragraph, and then the opening of a
// project with such a text in the editor window (until loaded and the longest gap between two
// turns of the GUI event loop), and one edit, its undo and its redo, each beside its goal. It opens twice: first as on a first run, when
// OpenGL compiles every shader, then as later runs do.
#include "avengine.h"
#include "avpixelbuffer.h"
#include "avtextsegment.h"
#include "benchopening.h"
#include "editingfixture.h"
#include "fakesegmentlistener.h"
#include "testenv.h"
#include "textsegment.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kTextBytes = 10 * 1024 * 1024;
constexpr qint64 kPaintGoalMs = 100;
constexpr qint64 kOpeningGoalMs = 5000;
constexpr qint64 kStallGoalMs = 100;

QString longText(bool lineBreaks)
{
  QString text;
  text.reserve(kTextBytes + 100);
  for (int i = 0; text.size() < kTextBytes; ++i) {
    text += QStringLiteral("Line %1 of a pasted text, lorem ipsum dolor sit amet").arg(i);
    text += lineBreaks ? QLatin1Char('\n') : QLatin1Char(' ');
  }
  return text;
}

// The slowest of a few runs, in milliseconds.
double slowest(const std::function<void()> &run)
{
  double worst = 0;
  for (int i = 0; i < 3; ++i) {
    QElapsedTimer clock;
    clock.start();
    run();
    worst = std::max(worst, clock.nsecsElapsed() / 1e6);
  }
  return worst;
}

void report(const char *what, double ms)
{
  std::printf("  %-36s %8.1f ms   (goal <= %lld ms: %s)\n", what, ms, static_cast<long long>(kPaintGoalMs),
              ms <= kPaintGoalMs ? "met" : "MISSED");
}

void benchPictures(const char *shape, const QString &text)
{
  FakeSegmentListener listener;
  TextSegment segment(text, 0, 10, &listener, nullptr);
  QImage block(600, 44, QImage::Format_ARGB32_Premultiplied);
  const double paint = slowest([&] {
    QPainter painter(&block);
    segment.paintBlock(&painter, block.rect(), block.rect(), 10);
  });
  const QByteArray utf8 = text.toUtf8();
  const double picture = slowest([&] {
    freePixelBuffer(renderTextImage(1920, 540, utf8.constData(), 180, vec4{1, 1, 1, 1}, "", "", 1, 2,
                                    vec4{0, 0, 0, 1}, vec4{0, 0, 1, 0.5f}, 10, 0.5f));
  });
  const double finePicture = slowest([&] {
    freePixelBuffer(renderTextImage(1920, 1080, utf8.constData(), 12, vec4{1, 1, 1, 1}, "", "", 0, 0,
                                    vec4{0, 0, 0, 1}, vec4{0, 0, 0, 0}, 0, 0));
  });
  std::printf("%s:\n", shape);
  report("timeline block 600 x 44:", paint);
  report("layer picture 1920 x 540, 180 px:", picture);
  report("layer picture 1920 x 1080, 12 px:", finePicture);
}

bool writeProject(const QString &dir, const QString &text)
{
  QString escaped = text.toHtmlEscaped();
  escaped.replace(QLatin1Char('\n'), QStringLiteral("&#10;"));
  const QByteArray xml = "<?xml version=\"1.0\"?>\n<Project>\n<Segment Type=\"TEXT\" TrackId=\"1\" RangeStart=\"0\" "
                         "RangeDuration=\"10\" Text=\""
                         + escaped.toUtf8() + "\"/>\n</Project>\n";
  QFile project(dir + "/project.xml");
  QFile properties(dir + "/properties.xml");
  return QDir().mkpath(dir) && project.open(QIODevice::WriteOnly) && project.write(xml) == xml.size()
         && properties.open(QIODevice::WriteOnly)
         && properties.write("<?xml version=\"1.0\"?>\n<Properties version=\"5.0\"/>\n") > 0;
}

// One edit of the long text (a rotation), its undo and its redo: each writes or reads a snapshot
// of the whole project.
bool benchEditing(const QString &text)
{
  EditingSession session;
  if (!session.open({SegmentSpec{"TEXT", 1, 0, 10, {{"Text", text}}}, SegmentSpec{"TEXT", 2, 0, 5, {{"Text", "Short"}}}})) {
    std::fprintf(stderr, "the editing project did not open\n");
    return false;
  }
  session.edit(session.segmentAt(0));
  AVEngine *engine = session.window->_engine;
  const auto timed = [&](const std::function<void()> &step) {
    // Timed from an idle engine: a busy one defers an undo step to a retry.
    if (!QTest::qWaitFor([engine] { return engine->isIdle(); }, 30000))
      std::fprintf(stderr, "the engine stayed busy for 30 s\n");
    const int position = session.window->projectManager()->history().position();
    QElapsedTimer clock;
    clock.start();
    step();
    const double ms = clock.nsecsElapsed() / 1e6;
    if (session.window->projectManager()->history().position() == position)
      std::fprintf(stderr, "a step did not run at once\n");
    return ms;
  };
  const double edit = timed([&] { session.window->_segmentCommand(nullptr, 10006); });
  const double undo = timed([&] { session.window->undoRedoOperation(true); });
  const double redo = timed([&] { session.window->undoRedoOperation(false); });
  std::printf("editing that text in the window:\n");
  report("a rotation:", edit);
  report("its undo:", undo);
  report("its redo:", redo);
  return true;
}

} // namespace

int main(int argc, char **argv)
{
  TestEnv::isolateUserState(true);
  QApplication app(argc, argv);
  const QString lines = longText(true);
  std::printf("a text of %d MiB\n", kTextBytes / 1024 / 1024);
  benchPictures("many short lines", lines);
  benchPictures("one long paragraph", longText(false));

  if (!benchEditing(lines))
    return 1;

  QTemporaryDir root;
  ProjectManager::setWorkingDirectory(root.path());
  if (!writeProject(ProjectManager::projectDirectory("Bench", QString()), lines)) {
    std::fprintf(stderr, "cannot write the project\n");
    return 1;
  }
  Opening first = openBench(1, 600000);
  if (!first.window)
    return 1;
  first.window->runClosingStep();
  first.window.reset();
  // A later opening finds the OpenGL shaders the first one compiled in the user's shader cache.
  Opening later = openBench(1, 600000);
  if (!later.window)
    return 1;
  later.window->runClosingStep();
  std::printf("opening a project with that text (many short lines) in one segment:\n");
  reportOpening("first opening, empty shader cache", first, kOpeningGoalMs, kStallGoalMs);
  reportOpening("a later opening, shader cache filled", later, kOpeningGoalMs, kStallGoalMs);
  return 0;
}

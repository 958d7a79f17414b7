// Recordings whose container stores no length, as browsers and recorders stopped abruptly leave
// them (Matroska and WebM written live or to a pipe): every road into the timeline gives them
// their length, a project holding one at no length takes it on opening, and a file whose length
// cannot be found is refused as an unreadable one.

#include "intakewindow.h"
#include "ffmpegcli.h"
#include "mediafixtures.h"
#include "processreads.h"
#include "testenv.h"

#include "avcomposition.h"
#include "avreadbound.h"
#include "avsegment.h"
#include "fakeaudioinputbackend.h"
#include "localfileslistwidget.h"
#include "localfileswidget.h"
#include "mediaexplorer.h"
#include "mediaexplorerwidget.h"
#include "popupmediatypeselectionwidget.h"
#include "popupmicrophonewidget.h"
#include "usersettings.h"
#include "util.h"

#include <QAction>
#include <QPushButton>

namespace {

constexpr float OneFrame = 1.0f / 30;

// What a recorder writes, 3 s long: the ffmpeg input and output arguments, and whether it goes
// to a pipe (no going back to write the length).
struct Recording
{
  QStringList input;
  QStringList output;
  bool toPipe;
};

const QStringList Picture{"-f", "lavfi", "-i", "testsrc=size=64x48:rate=30:duration=3"};
const QStringList Sound{"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=3"};
const QStringList Vp9{"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-g", "30"};

Recording recording(const QString &kind)
{
  if (kind == "video with sound")
    return {Picture + Sound,
            QStringList{"-c:v", "libx264", "-preset", "ultrafast", "-g", "30", "-c:a", "libopus", "-live", "1", "-f",
                        "matroska"},
            false};
  if (kind == "video alone")
    return {Picture, Vp9 + QStringList{"-f", "webm"}, true};
  return {Sound, QStringList{"-c:a", "libopus", "-f", "webm"}, true};
}

QString suffixOf(const QString &kind)
{
  return kind == "video with sound" ? "mkv" : "webm";
}

// The recording at path, and the same packets with their length stored at stored. Zeros after
// it, space a recorder took and never wrote, leave its length unknown.
bool writeRecording(const QString &kind, const QString &path, const QString &stored, bool zerosAfter = false)
{
  const Recording r = recording(kind);
  const bool written = r.toPipe ? FfmpegCli::run(r.input + r.output + QStringList{"pipe:1"}, path)
                                : FfmpegCli::run(r.input + r.output + QStringList{path});
  if (!written || !FfmpegCli::run({"-i", path, "-c", "copy", stored}))
    return false;
  QFile file(path);
  return !zerosAfter || file.resize(file.size() + (qint64(64) << 20));
}

double storedLength(const QString &path)
{
  QString video;
  QString audio;
  double seconds = 0;
  return Util::probeMediaInfo(path, video, audio, seconds) ? seconds : -1;
}

QByteArray zeroLengthLine(const QString &type, int track, const QString &file)
{
  return QStringLiteral("<Segment Type=\"%1\" TrackId=\"%2\" RangeStart=\"0\" RangeDuration=\"0\" File=\"%3\" "
                        "TrimStart=\"0\" TrimDuration=\"0\"/>\n")
      .arg(type)
      .arg(track)
      .arg(file)
      .toUtf8();
}

QString describe(Segment *segment)
{
  return segment ? QStringLiteral("%1 from %2 for %3 s, error %4")
                       .arg(segment->type())
                       .arg(double(segment->rangeStart()))
                       .arg(double(segment->duration()))
                       .arg(segment->error())
                 : QStringLiteral("no segment");
}

// The engine's parts of the segment that opened (a movie without sound has a part that did not)
// come to the length, and one of them opened.
bool engineLengthsAre(IntakeWindow *w, Segment *segment, double expected, double within = OneFrame)
{
  return QTest::qWaitFor(
      [&] {
        int opened = 0;
        for (quint32 id : {segment->id(), segment->audioPartId()}) {
          AVSegment *part = id ? w->_composition->findSegment(id) : nullptr;
          if (!part || part->loadError() != kAVLoadOk)
            continue;
          if (qAbs(part->duration() - expected) > within)
            return false;
          ++opened;
        }
        return opened > 0;
      },
      10000);
}

// The lengths of the engine's parts of the segment, for a failure's message.
QString engineLengths(IntakeWindow *w, Segment *segment)
{
  QStringList lengths;
  for (quint32 id : {segment->id(), segment->audioPartId()})
    if (AVSegment *part = id ? w->_composition->findSegment(id) : nullptr)
      lengths << QString::number(part->duration(), 'f', 4);
  return lengths.join(", ");
}

} // namespace

class TestLengthless : public QObject
{
  Q_OBJECT

  // Brings the file in by the road; false when the road itself failed.
  bool bringIn(IntakeProject &p, const QString &road, const QString &file)
  {
    IntakeWindow *w = p.window.get();
    if (road == "file manager" || road == "local files") {
      Drag drag{w, {}};
      if (road == "file manager") {
        setFile(drag.data, file);
      } else {
        // The explorer's own drag data for the file's tile.
        LocalFilesWidget *local = w->mediaExplorer()->widget()->localFilesPage();
        auto *dirButton = local ? local->findChild<QPushButton *>("dirButton") : nullptr;
        if (!dirButton)
          return false;
        w->dialogs.answers << QStringLiteral("Select Directory...") << QFileInfo(file).path();
        QTest::mouseClick(dirButton, Qt::LeftButton);
        LocalFilesListWidget *list = local->listWidget();
        QListWidgetItem *tile = nullptr;
        const bool listed = QTest::qWaitFor(
            [&] {
              const auto found = list->findItems(QFileInfo(file).fileName(), Qt::MatchExactly);
              tile = found.isEmpty() ? nullptr : found.first();
              return tile != nullptr;
            },
            20000);
        if (!listed)
          return false;
        std::unique_ptr<QMimeData> data(list->model()->mimeData({list->model()->index(list->row(tile), 0)}));
        for (const QString &format : data->formats())
          drag.data.setData(format, data->data(format));
      }
      const QPoint pos = at(w, w->_lastTrackWidget, 1);
      // The platform delivers the drop only to a window that accepted the drag where it ends; a
      // file that cannot be read is accepted too, so that its drop can say so.
      if (!drag.enter(pos) || !QTest::qWaitFor([&] { return drag.move(pos); }, 10000))
        return false;
      drag.drop(pos);
      return true;
    }
    if (road == "choose file" || road == "music track") {
      const int tag = road == "choose file" ? w->_lastTrackWidget->tag() : p.track(0)->tag();
      w->dialogs.answers << file;
      QTest::mouseClick(w->gutter()->buttonByTag(tag), Qt::LeftButton);
      if (road == "choose file") {
        auto *popup = w->findChild<PopupMediaTypeSelectionWidget *>();
        if (!popup)
          return false;
        QTest::mouseClick(popup->chooseFileButton(), Qt::LeftButton);
      }
      return w->dialogs.kinds().contains("getOpenFileName");
    }
    w->actions().addFromMicrophone->trigger();
    auto *popup = w->findChild<PopupMicrophoneWidget *>();
    if (!popup)
      return false;
    emit popup->popupMicrophoneWidgetSoundCaptured(popup, file, {0.5f});
    return true;
  }

private slots:
  void init()
  {
    UserSettings::instance()->setAutoCopyAssets(false);
    UserSettings::instance()->setPhotoDuration(2.0f);
  }

  // By every road a recording comes in with the length of the same packets stored with theirs,
  // as one block the width of that length, in the engine too, and the project reaches its end.
  // One whose length cannot be found is refused as an unreadable file, and leaves nothing.
  void everyRoadGivesTheLength_data()
  {
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("zerosAfter");
    for (const char *road : {"file manager", "local files", "choose file"}) {
      QTest::newRow(qPrintable(QString("%1, video with sound, MKV").arg(road)))
          << road << "video with sound" << "MOVIE" << false;
      QTest::newRow(qPrintable(QString("%1, video alone, WebM").arg(road))) << road << "video alone" << "MOVIE"
                                                                            << false;
      QTest::newRow(qPrintable(QString("%1, sound alone, WebM").arg(road))) << road << "sound alone" << "MOVIE"
                                                                            << false;
    }
    QTest::newRow("music track, sound alone, WebM") << "music track" << "sound alone" << "MUSIC" << false;
    QTest::newRow("microphone, sound alone, WebM") << "microphone" << "sound alone" << "VOICE" << false;
    for (const char *road : {"file manager", "local files", "choose file"})
      QTest::newRow(qPrintable(QString("%1, no length found, MKV").arg(road)))
          << road << "video with sound" << "" << true;
    QTest::newRow("music track, no length found, WebM") << "music track" << "sound alone" << "" << true;
    QTest::newRow("microphone, no length found, WebM") << "microphone" << "sound alone" << "" << true;
  }

  void everyRoadGivesTheLength()
  {
    QFETCH(QString, road);
    QFETCH(QString, kind);
    QFETCH(QString, type);
    QFETCH(bool, zerosAfter);
    FakeAudioInputBackend::Install microphone;
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writeTone(p.dir() + "/tune.wav", 2));
    const bool musicTrack = road == "music track";
    const QByteArray tune = "<Segment Type=\"MUSIC\" TrackId=\"1\" RangeStart=\"0\" RangeDuration=\"2\" "
                            "File=\"tune.wav\" TrimStart=\"0\" TrimDuration=\"2\"/>\n";
    QVERIFY(p.open(musicTrack ? tune : QByteArray(), musicTrack ? 1 : 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    const QString file = media.filePath("recording." + suffixOf(kind));
    const QString stored = media.filePath("stored." + suffixOf(kind));
    QVERIFY(writeRecording(kind, file, stored, zerosAfter));
    const double expected = storedLength(stored);
    QVERIFY2(expected > 2.9 && expected < 3.1, qPrintable(QString::number(expected)));
    const int before = p.model()->segmentCount();
    const int tracks = w->editScrollArea()->trackCount();
    const int history = p.model()->history().count();

    QVERIFY2(bringIn(p, road, file), "the road did not take the file: a drag refused, or a button missing");
    const auto refused = [w] { return shownMessages(w).contains("This file cannot be opened"); };
    // A load error is taken back after the segment is ready: the message or a good segment ends it.
    const auto settled = [&] {
      Segment *added = p.model()->segmentCount() > before ? p.newest() : nullptr;
      return refused() || (added && added->state() == SegmentReady && added->error() == SegmentNoError);
    };
    QTRY_VERIFY_WITH_TIMEOUT(settled(), 20000);
    if (zerosAfter) {
      QVERIFY2(refused(), qPrintable(describe(p.model()->segmentCount() > before ? p.newest() : nullptr)));
      QTRY_COMPARE(p.model()->segmentCount(), before);
      QCOMPARE(w->editScrollArea()->trackCount(), tracks);
      QCOMPARE(p.model()->history().count(), history);
      return;
    }
    QVERIFY2(!refused(), "refused as a file that cannot be opened");
    Segment *added = p.newest();
    QCOMPARE(added->type(), type);
    QVERIFY2(added->error() == SegmentNoError && qAbs(added->duration() - expected) <= OneFrame,
             qPrintable(QString("%1, expected %2 s").arg(describe(added)).arg(expected)));
    // The engine plays it to its end.
    QVERIFY(engineLengthsAre(w, added, expected));
    // A block that can be seen, and a project that reaches its end, so that it can be exported.
    auto *block = static_cast<SegmentWidget *>(p.model()->segmentWidgetOf(added));
    QVERIFY(block);
    QTRY_COMPARE(block->width(), int(24 * w->zoom() * added->duration()));
    QVERIFY2(p.model()->duration() >= added->rangeStart() + added->duration() - 0.001f,
             qPrintable(QString::number(double(p.model()->duration()))));
  }

  // A recording comes in opened several times (its length while it is dragged, its picture, its
  // sound): its end is read once, as that of a recording whose sound stops long before its
  // pictures, which takes the widest read.
  void bringingInReadsTheEndOnce_data()
  {
    QTest::addColumn<QString>("road");
    QTest::newRow("file manager") << "file manager";
    QTest::newRow("choose file") << "choose file";
  }

  void bringingInReadsTheEndOnce()
  {
    QFETCH(QString, road);
    if (ProcessReads::bytesRead() < 0)
      QSKIP("the system does not count this process's reads");
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    QTemporaryDir media;
    const QString file = media.filePath("recording.mkv");
    // Uncompressed pictures, written fast: more than the widest read of the end.
    QVERIFY(FfmpegCli::run({"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=30", "-f", "lavfi", "-i",
                            "sine=frequency=440:sample_rate=48000:duration=2", "-c:v", "rawvideo", "-pix_fmt",
                            "yuv420p", "-c:a", "libopus", "-f", "matroska", "-live", "1", file}));
    const qint64 size = QFileInfo(file).size();
    QVERIFY(size > AVReadBound::kTailMaxBytes);
    const qint64 before = ProcessReads::bytesRead();
    QVERIFY2(bringIn(p, road, file), "the road did not take the file: a drag refused, or a button missing");
    QTRY_VERIFY_WITH_TIMEOUT(p.model()->segmentCount() == 1 && p.newest()->state() == SegmentReady, 20000);
    Segment *added = p.newest();
    QVERIFY2(added->error() == SegmentNoError && qAbs(added->duration() - 30) <= OneFrame, qPrintable(describe(added)));
    QVERIFY(engineLengthsAre(p.window.get(), added, 30));
    // Beside the end, the pictures for the block's thumbnails: as much as the file at most.
    const qint64 read = ProcessReads::bytesRead() - before;
    QVERIFY2(read < size + 2 * AVReadBound::kTailMaxBytes,
             qPrintable(QString("read %1 MiB of a file of %2 MiB").arg(read >> 20).arg(size >> 20)));
  }

  // A project saved with such a recording at no length (as it used to come in) opens with the
  // recording's length: in the segment, its block, the engine and the project's end. One whose
  // file has no length to find either shows the load error on a block that can be selected and
  // removed, and the project keeps the length it stored.
  void projectClipAtNoLengthTakesIt_data()
  {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("zerosAfter");
    QTest::newRow("video with sound, MKV") << "video with sound" << "MOVIE" << false;
    QTest::newRow("video alone, WebM") << "video alone" << "MOVIE" << false;
    QTest::newRow("sound alone, WebM, as music") << "sound alone" << "MUSIC" << false;
    QTest::newRow("video with sound, no length found, MKV") << "video with sound" << "MOVIE" << true;
    QTest::newRow("sound alone, no length found, WebM, as music") << "sound alone" << "MUSIC" << true;
  }

  void projectClipAtNoLengthTakesIt()
  {
    QFETCH(QString, kind);
    QFETCH(QString, type);
    QFETCH(bool, zerosAfter);
    IntakeProject p;
    QVERIFY(p.project.isValid());
    const QString name = "recording." + suffixOf(kind);
    const QString stored = p.project.root() + "/stored." + suffixOf(kind);
    QVERIFY(writeRecording(kind, p.dir() + "/" + name, stored, zerosAfter));
    const double expected = storedLength(stored);
    QVERIFY(p.open(zeroLengthLine(type, 1, name), 1));
    IntakeWindow *w = p.window.get();
    Segment *clip = p.model()->segmentAt(0);
    auto *block = static_cast<SegmentWidget *>(p.model()->segmentWidgetOf(clip));
    QVERIFY(block);
    if (zerosAfter) {
      QCOMPARE(clip->error(), int(SegmentLoadError));
      QCOMPARE(clip->duration(), 0.0f);
      QTRY_VERIFY2(block->isVisible() && block->width() >= 24,
                   qPrintable(QString("a block %1 px wide, %2")
                                .arg(block->width())
                                .arg(block->isVisible() ? "shown" : "hidden")));
      QTest::mouseClick(block, Qt::LeftButton, {}, block->rect().center());
      QTRY_VERIFY(w->actions().removeSegment->isEnabled());
      w->actions().removeSegment->trigger();
      QTRY_COMPARE(p.model()->segmentCount(), 0);
      return;
    }
    QVERIFY2(clip->error() == SegmentNoError && qAbs(clip->duration() - expected) <= OneFrame,
             qPrintable(QString("%1, expected %2 s").arg(describe(clip)).arg(expected)));
    QVERIFY(engineLengthsAre(w, clip, expected));
    // Picture and sound both reach the clip's end, the longer of the two, as for a clip added
    // afresh: a shorter picture would leave the end of the project without one.
    QVERIFY2(engineLengthsAre(w, clip, clip->duration(), 0.001),
             qPrintable(QString("%1, the engine's parts %2").arg(describe(clip), engineLengths(w, clip))));
    QTRY_COMPARE(block->width(), int(24 * w->zoom() * clip->duration()));
    QTRY_VERIFY2(p.model()->duration() >= clip->duration() - 0.001f,
                 qPrintable(QString::number(double(p.model()->duration()))));
  }
};

TAVO_TEST_MAIN(TestLengthless)
#include "tst_lengthless.moc"

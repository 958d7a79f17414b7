// Ready-made transitions: which a segment offers, where they go in, the values they start or
// end with, the engine's groups after them, and the picture they make in the preview.

#include "transitionproject.h"

#include "editingfixture.h"

#include "pixelprobe.h"
#include "testenv.h"

#include "avglwidget.h"
#include "popuptransitionslistwidget.h"
#include "projecthistory.h"
#include "roundtabwidget.h"
#include "scrollabletoolbar.h"

#include <QPushButton>

namespace {

const QStringList kAllPicture = {
    "Custom Transition", "|", "Fade In && Fade Out", "Fade In", "Fade Out",
    "|", "Left In && Right Out", "Right In && Left Out", "Left In", "Left Out", "Right In", "Right Out",
    "|", "Up In && Down Out", "Down In && Up Out", "Up In", "Up Out", "Down In", "Down Out",
    "|", "Shrink In && Shrink Out", "Grow In && Grow Out", "Shrink In", "Shrink Out", "Grow In", "Grow Out",
    "|", "Open In && Close Out", "Open In", "Close Out",
    "|", "Wipe In && Wipe Out", "Wipe In", "Wipe Out"};

} // namespace

class TestPresets : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase()
  {
    QVERIFY(_w.open());
  }

  void init()
  {
    _w.reset();
  }

  void offeredEntries_data()
  {
    QTest::addColumn<Fixture>("fixture");
    QTest::addColumn<QList<double>>("transitionStarts");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("picture, both ends free") << Picture << QList<double>() << kAllPicture;
    QTest::newRow("music") << Music << QList<double>()
                           << QStringList{"Custom Transition", "|", "Fade In && Fade Out", "Fade In", "Fade Out"};
    QTest::newRow("picture, start taken")
        << Picture << QList<double>{0.0}
        << QStringList{"Custom Transition", "Fade Out", "Left Out", "Right Out", "Up Out",
                       "Down Out", "Shrink Out", "Grow Out", "Close Out", "Wipe Out"};
    QTest::newRow("picture, both taken") << Picture << QList<double>{0.0, 3.0} << QStringList{"Custom Transition"};
  }

  void offeredEntries()
  {
    QFETCH(Fixture, fixture);
    QFETCH(QList<double>, transitionStarts);
    QFETCH(QStringList, texts);
    Segment *segment = _w.segment(fixture);
    for (double start : transitionStarts)
      QVERIFY(segment->insertTransition(1.0f, segment->rangeStart() + float(start)) > 0);
    _w.select(fixture);
    QCOMPARE(_w.menuTexts(), texts);

    // Pairs and the custom entry are bold, and only they.
    std::unique_ptr<QMenu> menu(_w.window->_showTransitionMenu(_w.window.get()));
    for (QAction *action : menu->actions())
      if (!action->isSeparator())
        QCOMPARE(action->font().weight(), action->text().contains("&&") || action->text() == "Custom Transition"
                                              ? 75
                                              : QFont().weight());
  }

  // A transition that no longer fits at full length gets half a second; an end without room
  // gets nothing, silently.
  void presetsInsertAtTheEnds_data()
  {
    QTest::addColumn<Fixture>("fixture");
    QTest::addColumn<int>("preset");
    QTest::addColumn<bool>("startTaken");
    QTest::addColumn<Spans>("expected");
    QTest::newRow("pair on 4 s") << Picture << 10202 << false << Spans{{0, 1}, {3, 1}};
    QTest::newRow("pair on 1.5 s") << ShortPicture << 10202 << false << Spans{{0, 1}, {1, 0.5}};
    QTest::newRow("in on 1.5 s") << ShortPicture << 10203 << false << Spans{{0, 1}};
    QTest::newRow("out on 1.5 s") << ShortPicture << 10204 << false << Spans{{0.5, 1}};
    QTest::newRow("pair, start taken") << Picture << 10205 << true << Spans{{0, 1}, {3, 1}};
  }

  void presetsInsertAtTheEnds()
  {
    QFETCH(Fixture, fixture);
    QFETCH(int, preset);
    QFETCH(bool, startTaken);
    QFETCH(Spans, expected);
    Segment *segment = _w.segment(fixture);
    if (startTaken)
      segment->insertTransition(1.0f, segment->rangeStart());
    SegmentWidget *block = _w.select(fixture);
    const int before = _w.window->projectManager()->history().count();
    _w.window->projectManager()->setModified(false);
    HudTextLog huds;
    _w.window->_applyTransitionPreset(preset);
    QVERIFY2(sameSpans(spans(segment), expected), qPrintable(spansText(spans(segment))));
    QCOMPARE(_w.window->projectManager()->history().count(), before + 1);
    QVERIFY(_w.window->projectManager()->isModified());
    QVERIFY(huds.texts().isEmpty());
    // The block shows the out-transition when one was made.
    QCOMPARE(block->transitionId(), segment->transitionCount());
  }

  void presetValues_data()
  {
    QTest::addColumn<Fixture>("fixture");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("begin");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QPointF>("value");
    QTest::newRow("fade in") << Picture << "Fade In" << true << "transparency" << QPointF(1, 0);
    QTest::newRow("music fade out") << Music << "Fade Out" << false << "volume" << QPointF(0, 0);
    QTest::newRow("movie fade in") << Movie << "Fade In" << true << "volume" << QPointF(0, 0);
    QTest::newRow("shrink in") << Picture << "Shrink In" << true << "scale" << QPointF(5, 5);
    QTest::newRow("grow in") << Picture << "Grow In" << true << "scale" << QPointF(0.2, 0.2);
    QTest::newRow("grow out") << Picture << "Grow Out" << false << "scale" << QPointF(5, 5);
    // The picture fills the preview's height, so a vertical slide is one preview height.
    QTest::newRow("up in") << Picture << "Up In" << true << "translation" << QPointF(0, -1);
    QTest::newRow("down out") << Picture << "Down Out" << false << "translation" << QPointF(0, 1);
    // A horizontal slide moves the layer's half width beyond the preview's half.
    const QSizeF preview(_w.window->previewWidget()->size());
    const double fit = qMin(preview.width() / 320, preview.height() / 240);
    QTest::newRow("left in") << Picture << "Left In" << true << "translation"
                             << QPointF(-(preview.width() / 2 + 320 * fit / 2) / preview.width(), 0);
    QTest::newRow("open in") << Picture << "Open In" << true << "crop" << QPointF(0.5, 0.5);
    QTest::newRow("wipe in") << Picture << "Wipe In" << true << "crop" << QPointF(0, 0);
    QTest::newRow("wipe out") << Picture << "Wipe Out" << false << "crop" << QPointF(1, 1);
  }

  void presetValues()
  {
    QFETCH(Fixture, fixture);
    QFETCH(QString, entry);
    QFETCH(bool, begin);
    QFETCH(QString, property);
    QFETCH(QPointF, value);
    Segment *segment = _w.segment(fixture);
    segment->setUserScale(QSizeF(1, 1));
    _w.select(fixture);
    QVERIFY(_w.choose(entry));
    QCOMPARE(segment->transitionCount(), 1);
    QPointF actual;
    if (property == "transparency")
      actual = QPointF(segment->transitionUserTransparency(1, begin), 0);
    else if (property == "volume")
      actual = QPointF(segment->transitionUserVolume(1, begin), 0);
    else if (property == "scale")
      actual = QPointF(segment->transitionUserScale(1, begin).width(), segment->transitionUserScale(1, begin).height());
    else if (property == "translation")
      actual = segment->transitionUserTranslation(1, begin);
    else
      actual = QPointF(segment->transitionCropTopLeft(1, begin).x(), segment->transitionCropBottomRight(1, begin).x());
    QVERIFY2(QLineF(actual, value).length() < 1e-3, qPrintable(QString("%1, %2").arg(actual.x()).arg(actual.y())));
    // The other state keeps the segment's own values.
    QCOMPARE(segment->transitionUserTransparency(1, !begin), segment->userTransparency());
  }

  // The custom entry goes in at the play head, snapped to the start within 0.05 s.
  void customTransitionAtThePlayhead_data()
  {
    QTest::addColumn<float>("playhead");
    QTest::addColumn<double>("start");
    QTest::newRow("snapped") << 0.04f << 0.0;
    QTest::newRow("inside") << 2.0f << 2.04;
  }

  void customTransitionAtThePlayhead()
  {
    QFETCH(float, playhead);
    QFETCH(double, start);
    Segment *segment = _w.segment(Picture);
    _w.window->_scrollTimelineToTime(0, false);
    _w.window->_setPlayheadTime(playhead, false);
    QVERIFY(qAbs(_w.window->_playheadTime() - playhead) < 1e-3);
    _w.select(Picture);
    QVERIFY(_w.choose("Custom Transition"));
    QVERIFY2(sameSpans(spans(segment), Spans{{start, 1}}), qPrintable(spansText(spans(segment))));
  }

  void bothEndsTakenAddsWithoutList()
  {
    Segment *segment = _w.segment(Picture);
    segment->insertTransition(1.0f, 0);
    segment->insertTransition(1.0f, 3);
    _w.window->_refreshSegment(segment);
    _w.window->_scrollTimelineToTime(0, false);
    _w.window->_setPlayheadTime(1.5f, false);
    SegmentWidget *block = _w.select(Picture);
    ScrollableToolBar *toolbar = _w.transitionBar();
    _w.window->_addTransitionFromToolBar(toolbar->button(10111), 10111, toolbar);
    QVERIFY(_w.window->findChildren<PopupTransitionsListWidget *>().isEmpty());
    QVERIFY2(sameSpans(spans(segment), Spans{{0, 1}, {1.54, 1}, {3, 1}}), qPrintable(spansText(spans(segment))));
    QCOMPARE(block->transitionId(), 2);
    // The engine's old group 2 moved up to 3 before the new 2 came.
    const auto groups = _w.groups(segment->id());
    QCOMPARE(groups.size(), 3);
    QVERIFY(qAbs(groups[1].second - 1.54 / 4) < 1e-3 && qAbs(groups[2].second - 0.75) < 1e-3);
  }

  // Without room the custom entry leaves the history as it was and says why; the list goes.
  void noRoomForCustom()
  {
    Segment *segment = _w.segment(TinyPicture);
    SegmentWidget *block = _w.select(TinyPicture);
    // An end is free while the list opens; the segment fills before the choice.
    segment->setDuration(4);
    ScrollableToolBar *toolbar = _w.transitionBar();
    _w.window->_addTransitionFromToolBar(toolbar->button(10111), 10111, toolbar);
    auto popups = _w.window->findChildren<PopupTransitionsListWidget *>();
    QCOMPARE(popups.size(), 1);
    segment->setDuration(0.3f);
    const int before = _w.window->projectManager()->history().count();
    QPushButton *custom = popups[0]->itemButtons().value(0);
    QVERIFY(custom);
    HudTextLog huds;
    QTest::mouseClick(custom, Qt::LeftButton);
    QCOMPARE(segment->transitionCount(), 0);
    QCOMPARE(block->transitionId(), 0);
    QCOMPARE(_w.window->projectManager()->history().count(), before);
    QTRY_VERIFY(_w.window->findChildren<PopupTransitionsListWidget *>().isEmpty());
    QVERIFY(!toolbar->selectionTab());
    QCOMPARE(huds.texts(), QStringList{"No enough space for another transition"});
    QTRY_VERIFY_WITH_TIMEOUT(huds.entries().value(0).shownMs >= 0, 20000);
    const qint64 shown = huds.entries().value(0).shownMs;
    QVERIFY2(shown >= 1800, qPrintable(QString::number(shown)));
  }

  // A preset in front of an existing transition renumbers its group under both engine ids of
  // a movie.
  void engineGroupsFollowTheList()
  {
    Segment *movie = _w.segment(Movie);
    QVERIFY(movie->insertTransition(0.5f, movie->rangeStart() + 1.2f) == 1);
    _w.window->_refreshSegment(movie);
    _w.select(Movie);
    _w.window->_applyTransitionPreset(10203);
    // The old one kept its place, 0.04 s after the free start it was given.
    const QList<QPair<int, double>> expected{{1, 0.0}, {2, 1.24 / movie->duration()}};
    for (quint32 id : {movie->id(), movie->audioPartId()}) {
      const auto groups = _w.groups(id);
      QCOMPARE(groups.size(), 2);
      for (int i = 0; i < 2; ++i) {
        QCOMPARE(groups[i].first, expected[i].first);
        QVERIFY(qAbs(groups[i].second - expected[i].second) < 1e-3);
      }
    }
  }

  void listOpensAtTheButton()
  {
    _w.select(Picture);
    ScrollableToolBar *toolbar = _w.transitionBar();
    toolbar->setGeometry(300, 600, 600, 60);
    toolbar->show();
    QWidget *button = toolbar->button(10111);
    _w.window->_addTransitionFromToolBar(button, 10111, toolbar);
    auto popups = _w.window->findChildren<PopupTransitionsListWidget *>();
    QCOMPARE(popups.size(), 1);
    const QPoint anchor = button->mapTo(_w.window->centralWidget(), QPoint(button->width() / 2, 0));
    const QRect panel = popups[0]->mainWidget()->geometry();
    QVERIFY2(qAbs(panel.center().x() - anchor.x()) <= 1 && panel.bottom() + 1 == anchor.y(),
             qPrintable(QString("panel %1,%2 %3x%4, anchor %5,%6")
                            .arg(panel.x()).arg(panel.y()).arg(panel.width()).arg(panel.height())
                            .arg(anchor.x()).arg(anchor.y())));
    QVERIFY(toolbar->selectionTab());
    QTRY_VERIFY(!popups[0]->graphicsEffect());
    _w.window->grab().save(TestEnv::shotPath("editor-presets-list.png"));
    QTest::mouseClick(popups[0]->itemButtons().value(2), Qt::LeftButton); // "Fade In"
    QCOMPARE(_w.segment(Picture)->transitionCount(), 1);
    QTRY_VERIFY(_w.window->findChildren<PopupTransitionsListWidget *>().isEmpty());
    QVERIFY(!toolbar->selectionTab());
  }

  // A block that never enters editing, with the gutter still shown, does not hold the window.
  void customWaitIsBounded()
  {
    SegmentWidget *block = _w.select(Picture);
    std::unique_ptr<QMenu> menu(_w.window->_showTransitionMenu(_w.window.get()));
    block->setLocked(true);
    _w.window->editScrollArea()->setSelectedSegmentWidget(nullptr);
    QVERIFY(_w.window->gutter()->isVisible());
    QElapsedTimer timer;
    timer.start();
    menu->actions().first()->trigger();
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(_w.segment(Picture)->transitionCount(), 1);
  }

  // The real engine shows the faded picture: gone at the start and the end, whole in between.
  void fadeShowsInThePreview()
  {
    Segment *segment = _w.segment(Picture);
    _w.select(Picture);
    QVERIFY(_w.choose("Fade In && Fade Out"));
    AVGLWidget *preview = _w.window->previewWidget();
    const QSize size = preview->size();
    const double fit = qMin(size.width() / 320.0, size.height() / 240.0);
    // Inside the picture's red quadrant.
    const int x = int(size.width() / 2 - 80 * fit);
    const int y = int(size.height() / 2 - 60 * fit);
    const QColor background(0x20, 0x30, 0x40);
    struct Probe
    {
      float time;
      QColor color;
    };
    for (const Probe &probe : {Probe{0.0f, background}, Probe{2.0f, QColor(Qt::red)},
                               Probe{segment->duration() - 0.01f, background}}) {
      _w.window->_engine->seek(probe.time, true);
      QImage frame;
      const bool shown = QTest::qWaitFor(
          [&] {
            preview->update();
            frame = preview->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
            return !frame.isNull() && PixelProbe::near(frame.pixel(x, y), probe.color, 24);
          },
          10000);
      QVERIFY2(shown, qPrintable(QString("at %1 s (%2, %3) is %4")
                                     .arg(probe.time)
                                     .arg(x)
                                     .arg(y)
                                     .arg(frame.isNull() ? QString("nothing") : PixelProbe::text(frame.pixel(x, y)))));
    }
  }

private:
  TransitionProject _w;
};

TAVO_TEST_MAIN(TestPresets)
#include "tst_presets.moc"

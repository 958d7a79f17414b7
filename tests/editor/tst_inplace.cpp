// Editing over the preview: the text editor laid on a text segment, and the closing of the crop
// frame, applied or dropped.

#include "editingfixture.h"
#include "mediafixtures.h"
#include "pixelprobe.h"
#include "testenv.h"

#include "avglwidget.h"
#include "canvaswidget.h"
#include "drawingcolorwidget.h"
#include "drawingtoolswidget.h"
#include "drawingtuningwidget.h"
#include "avengine.h"
#include "cropwidget.h"
#include <QLabel>
#include "editscrollarea.h"
#include "mediaexplorer.h"
#include "mediaexplorerwidget.h"
#include "projectmanager.h"
#include "propertymap.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "segmentwidget.h"
#include "texteditwidget.h"
#include "textsegment.h"
#include "tooltipbutton.h"

#include <QFileInfo>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

using Attributes = QList<QPair<QString, QString>>;

QList<SegmentSpec> inPlaceSegments()
{
  QList<SegmentSpec> segments = EditingProject::standardSegments();
  segments << SegmentSpec{"IMAGE", 4, 0, 4, Attributes{{"File", "still.png"}}}; // seg-6: a transition
  return segments;
}

// Corners are stored as text with six decimals.
bool near(const QPointF &a, const QPointF &b)
{
  return std::abs(a.x() - b.x()) < 1e-5 && std::abs(a.y() - b.y()) < 1e-5;
}

class InPlaceWindow : public EditingWindow
{
public:
  using EditingWindow::EditingWindow;
  using MainWindow::_beginTextEditing;
  using MainWindow::_canvasWidget;
  using MainWindow::_commitInPlaceEditing;
  using MainWindow::_cropWidget;
  using MainWindow::_beginDrawing;
  using MainWindow::_beginCropping;
  using MainWindow::_cropBackground;
  using MainWindow::_endCropping;
  using MainWindow::_endDrawing;
  using MainWindow::_endTextEditing;
  using MainWindow::_hideTransformWidget;
  using MainWindow::_textEditWidget;
};

} // namespace

class TestInPlace : public QObject
{
  Q_OBJECT

  EditingSession session;

  InPlaceWindow *window() { return static_cast<InPlaceWindow *>(session.window.get()); }
  int snapshots() { return window()->projectManager()->history().count(); }
  TextSegment *openText(const QString &content)
  {
    auto *text = static_cast<TextSegment *>(session.segmentByUId("seg-3"));
    text->setText(content);
    window()->_setPlayheadTime(text->rangeStart() + 0.1f, false);
    session.edit(text);
    window()->_buildSegmentToolBar(text, text->rangeStart());
    window()->_beginTextEditing(text);
    return text;
  }
  // The preview at a time, inside the still's top-left quadrant (the drawing covers it too),
  // once the engine has shown that time; waits for a colour when one is given.
  QRgb previewAt(float time, const QColor &expected = QColor(), bool *matched = nullptr)
  {
    window()->_setPlayheadTime(time, false);
    window()->_engine->seek(time, true);
    AVGLWidget *preview = window()->previewWidget();
    const QSize size = preview->size();
    const double fit = qMin(size.width() / 320.0, size.height() / 240.0);
    const QPoint probe(int(size.width() / 2 - 80 * fit), int(size.height() / 2 - 60 * fit));
    QRgb pixel = 0;
    const bool found = QTest::qWaitFor(
      [&] {
        preview->update();
        const QImage frame = preview->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        if (frame.isNull())
          return false;
        pixel = frame.pixel(probe);
        return expected.isValid() && PixelProbe::near(pixel, expected, 16);
      },
      expected.isValid() ? 15000 : 1000);
    if (matched)
      *matched = found;
    return pixel;
  }

  void openCrop(Segment *segment, const QRectF &crop)
  {
    window()->_cropWidget = new CropWidget(QRect(0, 0, 320, 180), QPixmap(320, 180), crop, true,
                                           window()->centralWidget());
    Q_UNUSED(segment)
  }

private slots:
  void initTestCase()
  {
    session.makeWindow = [](const QString &name) { return std::make_unique<InPlaceWindow>(name); };
    QVERIFY(session.open(inPlaceSegments()));
    Segment *picture = session.segmentByUId("seg-6");
    QVERIFY(picture->insertTransition(0.5f, 0.5f) > 0);
  }

  void cleanup()
  {
    window()->_endTextEditing(false);
    window()->_endCropping(false);
    window()->_endDrawing(false);
    QTRY_VERIFY(!window()->_textEditWidget && !window()->_cropWidget && !window()->_canvasWidget);
  }

  // Opening takes the mouse from the timeline and the explorer and hides the tool bar; any
  // closing gives them back.
  void openingAndClosing_data()
  {
    QTest::addColumn<bool>("apply");
    QTest::newRow("applied") << true;
    QTest::newRow("dropped") << false;
  }

  void openingAndClosing()
  {
    QFETCH(bool, apply);
    openText("Hello");
    TextEditWidget *editor = window()->_textEditWidget;
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->toPlainText(), QString("Hello"));
    QVERIFY(!editor->document()->isUndoAvailable());
    QVERIFY(window()->editScrollArea()->isMouseTransparent());
    QVERIFY(!window()->_transformWidget);
    // A second opening keeps the first editor.
    window()->_beginTextEditing(session.segmentByUId("seg-3"));
    QCOMPARE(window()->_textEditWidget, editor);
    window()->_endTextEditing(apply);
    QVERIFY(!window()->_textEditWidget);
    QVERIFY(!window()->editScrollArea()->isMouseTransparent());
    QVERIFY(window()->_segmentToolBar);
    QTRY_VERIFY(window()->_segmentToolBar->isVisible());
  }

  // An editor that would reach above the container stays 3 px below its top edge.
  void textAtTheTop()
  {
    auto *text = static_cast<TextSegment *>(session.segmentByUId("seg-3"));
    text->setUserTranslation(QPointF(0, -2));
    session.edit(text);
    window()->_hideTransformWidget();
    window()->_beginTextEditing(text);
    QVERIFY(window()->_textEditWidget);
    QCOMPARE(window()->_textEditWidget->geometry().top(), 3);
    window()->_endTextEditing(false);
    text->setUserTranslation(QPointF(0, 0));
  }

  // A changed text is one undo step; the same text is written and sent again but not recorded.
  void closingWritesTheText_data()
  {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("recorded");
    QTest::newRow("unchanged") << "Hello" << 0;
    QTest::newRow("changed") << "Hello there" << 1;
    QTest::newRow("emptied") << "" << 1;
  }

  void closingWritesTheText()
  {
    QFETCH(QString, typed);
    QFETCH(int, recorded);
    TextSegment *text = openText("Hello");
    window()->_textEditWidget->setPlainText(typed);
    session.engine.clear();
    const int history = snapshots();
    window()->_commitInPlaceEditing();
    QCOMPARE(snapshots() - history, recorded);
    QCOMPARE(text->text(), typed);
    const QList<EngineCallLog::Call> sent = session.engine.calls("setText");
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent[0].text, typed);
    QVERIFY(!window()->_textEditWidget);
  }

  // Typed into an emptied editor, the first character still has the segment's size.
  void emptiedEditorKeepsTheStyle()
  {
    openText("Hello");
    TextEditWidget *editor = window()->_textEditWidget;
    const int size = editor->font().pixelSize();
    QVERIFY(size > 0);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QVERIFY(editor->toPlainText().isEmpty());
    QTest::keyClick(editor, Qt::Key_A);
    QCOMPARE(editor->toPlainText(), QString("a"));
    QTextCursor cursor(editor->document());
    cursor.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(cursor.charFormat().font().pixelSize(), size);
  }

  // The crop frame shows the segment's own still (a picture's thumbnail, the text as drawn, the
  // clip's frame at the play head) over a dimmed preview, starting from the stored corners.
  void beginningTheCrop_data()
  {
    QTest::addColumn<QString>("uid");
    QTest::newRow("movie") << "seg-1";
    QTest::newRow("picture") << "seg-2";
    QTest::newRow("text") << "seg-3";
  }

  void beginningTheCrop()
  {
    QFETCH(QString, uid);
    Segment *segment = session.segmentByUId(uid);
    if (auto *text = dynamic_cast<TextSegment *>(segment)) {
      // Earlier cases may have emptied it, and an empty text has no picture to crop.
      text->setText("Crop me");
      window()->_engine->setText(text->id(), "Crop me");
    }
    segment->setCropTopLeft(QPointF(0.25, 0));
    segment->setCropBottomRight(QPointF(1, 0.75));
    window()->_setPlayheadTime(segment->rangeStart() + 0.5f, false);
    session.edit(segment);
    window()->_beginCropping(segment);
    CropWidget *crop = window()->_cropWidget;
    QVERIFY(crop);
    QVERIFY(!crop->pictureLabel()->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(near(crop->cropRect().topLeft(), QPointF(0.25, 0)));
    QVERIFY(near(crop->cropRect().bottomRight(), QPointF(1, 0.75)));
    QVERIFY(window()->_cropBackground);
    QVERIFY(window()->editScrollArea()->isMouseTransparent());
    // A second request while cropping changes nothing.
    window()->_beginCropping(segment);
    QCOMPARE(window()->_cropWidget, crop);
    window()->_endCropping(false);
    QTRY_VERIFY(!window()->_cropBackground);
    // Later cases see the pictures whole (an undo sends the model's corners to the engine).
    segment->setCropTopLeft(QPointF(0, 0));
    segment->setCropBottomRight(QPointF(1, 1));
  }

  // A movie that does not start at 0 shows, to be cropped, its frame under the play head.
  void movieCropShowsThePlayheadFrame()
  {
    Segment *movie = session.segmentByUId("seg-1");
    auto place = [&](float start) {
      movie->setRangeStart(start);
      for (quint32 id : {movie->id(), movie->audioPartId()})
        window()->_engine->setSegmentStartTime(id, start);
    };
    place(1.0f);
    window()->_setPlayheadTime(1.5f, false);
    session.edit(movie);
    window()->_beginCropping(movie);
    CropWidget *crop = window()->_cropWidget;
    QVERIFY(crop);
    const int frame = MediaFixtures::frameIndexOf(crop->pictureLabel()->pixmap(Qt::ReturnByValue).toImage());
    window()->_endCropping(false);
    place(0.0f);
    // Half a second into a 30 fps clip.
    QVERIFY2(qAbs(frame - 15) <= 1, qPrintable(QString::number(frame)));
  }

  // A crop closed unchanged records nothing; on a transition side the state's corners change.
  void closingTheCrop_data()
  {
    QTest::addColumn<int>("side");
    QTest::addColumn<bool>("moved");
    QTest::newRow("segment, same corners") << -1 << false;
    QTest::newRow("segment, new corners") << -1 << true;
    QTest::newRow("end state, new corners") << 0 << true;
    QTest::newRow("begin state, same corners") << 1 << false;
  }

  void closingTheCrop()
  {
    QFETCH(int, side);
    QFETCH(bool, moved);
    Segment *picture = session.segmentByUId("seg-6");
    session.edit(picture);
    session.block(picture)->setTransitionId(side >= 0 ? 1 : 0);
    window()->_editedTransitionEnd = side;
    const bool begin = side > 0;
    const QPointF segmentTopLeft = picture->cropTopLeft();
    const QPointF oldTopLeft = side >= 0 ? picture->transitionCropTopLeft(1, begin) : picture->cropTopLeft();
    const QPointF oldBottomRight = side >= 0 ? picture->transitionCropBottomRight(1, begin) : picture->cropBottomRight();
    const QRectF crop = moved ? QRectF(QPointF(0.1, 0.2), QPointF(0.8, 0.9)) : QRectF(oldTopLeft, oldBottomRight);
    openCrop(picture, crop);
    session.engine.clear();
    const QString before = session.state();
    const int history = snapshots();
    window()->_commitInPlaceEditing();
    QVERIFY(!window()->_cropWidget);
    QCOMPARE(snapshots() - history, moved ? 1 : 0);
    if (!moved) {
      QCOMPARE(session.state(), before);
      QCOMPARE(session.engine.calls("setSegmentProperty", 8).size() + session.engine.calls("setTransitionValue").size(),
               0);
      return;
    }
    if (side < 0) {
      QVERIFY(near(picture->cropTopLeft(), QPointF(0.1, 0.2)));
      QVERIFY(near(picture->cropBottomRight(), QPointF(0.8, 0.9)));
      QCOMPARE(session.engine.calls("setSegmentProperty", 8).size(), 1);
      QCOMPARE(session.engine.calls("setSegmentProperty", 9).size(), 1);
      return;
    }
    QVERIFY(near(picture->transitionCropTopLeft(1, begin), QPointF(0.1, 0.2)));
    QCOMPARE(picture->cropTopLeft(), segmentTopLeft);
    const QList<EngineCallLog::Call> calls = session.engine.calls("setTransitionValue");
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls[0].propertyId, 8);
    QCOMPARE(calls[1].propertyId, 9);
    QCOMPARE(calls[0].flag, !begin);
    QVERIFY(std::abs(calls[1].a - 0.8f) < 1e-5 && std::abs(calls[1].b - 0.9f) < 1e-5);
  }

  // Only the open editing closes: the text editor's commit leaves a crop frame alone.
  void commitClosesTheOpenEditingOnly()
  {
    openText("Hello");
    Segment *picture = session.segmentByUId("seg-6");
    openCrop(picture, QRectF(0.2, 0.2, 0.5, 0.5));
    CropWidget *crop = window()->_cropWidget;
    window()->_commitInPlaceEditing();
    QVERIFY(!window()->_textEditWidget);
    QCOMPARE(window()->_cropWidget, crop);
  }

  // The canvas paints at the 4K export size; the drawing leaves the preview while it is edited
  // and comes back however the canvas closes. Applied, it is one undo step to a new file, and
  // undo brings back the old one, still on disk.
  void drawing_data()
  {
    QTest::addColumn<bool>("apply");
    QTest::newRow("applied") << true;
    QTest::newRow("dropped") << false;
  }

  void drawing()
  {
    QFETCH(bool, apply);
    Segment *sketch = session.segment("DRAWING");
    const QString file = sketch->properties()->text("File");
    const float time = sketch->rangeStart() + sketch->duration() / 2;
    const QColor old(previewAt(time));
    session.edit(sketch);
    session.engine.clear();
    window()->_beginDrawing(sketch);
    CanvasWidget *canvas = window()->_canvasWidget;
    QVERIFY(canvas);
    QCOMPARE(canvas->canvasImage().size(), QSize(3840, 2160));
    // The whole canvas painted blue.
    QPixmap blue(canvas->canvasSize());
    blue.fill(Qt::blue);
    canvas->drawImage(blue);
    QList<EngineCallLog::Call> enabled = session.engine.calls("setSegmentEnabled");
    QCOMPARE(enabled.size(), 1);
    QVERIFY(enabled[0].id == sketch->id() && !enabled[0].flag);
    QVERIFY(window()->editScrollArea()->isMouseTransparent());
    const int history = snapshots();
    if (apply)
      window()->_commitInPlaceEditing();
    else
      window()->_endDrawing(false);
    QVERIFY(!window()->_canvasWidget);
    enabled = session.engine.calls("setSegmentEnabled");
    QCOMPARE(enabled.size(), 2);
    QVERIFY(enabled[1].id == sketch->id() && enabled[1].flag);
    QVERIFY(!window()->editScrollArea()->isMouseTransparent());
    QCOMPARE(snapshots() - history, apply ? 1 : 0);
    bool shown = false;
    if (!apply) {
      QCOMPARE(sketch->properties()->text("File"), file);
      // Back in the preview as it was.
      const QRgb pixel = previewAt(time, old, &shown);
      QVERIFY2(shown, qPrintable(PixelProbe::text(pixel)));
      return;
    }
    const QString drawn = sketch->properties()->text("File");
    QVERIFY(drawn != file);
    QRgb pixel = previewAt(time, Qt::blue, &shown);
    QVERIFY2(shown, qPrintable(PixelProbe::text(pixel)));
    window()->undoRedoOperation(true);
    QTRY_COMPARE(session.segment("DRAWING")->properties()->text("File"), file);
    const QString oldFile = QFileInfo(file).isAbsolute() ? file : session.project.directory() + "/" + file;
    QVERIFY2(QFile::exists(oldFile), qPrintable(oldFile));
    pixel = previewAt(time, old, &shown);
    QVERIFY2(shown, qPrintable(QString("%1, was %2").arg(PixelProbe::text(pixel), PixelProbe::text(old.rgb()))));
  }

  void afterAnyClosing_data()
  {
    QTest::addColumn<QString>("editing");
    QTest::addColumn<bool>("apply");
    for (const char *editing : {"text", "drawing", "crop"})
      for (const bool apply : {true, false})
        QTest::addRow("%s, %s", editing, apply ? "applied" : "dropped") << QString(editing) << apply;
  }

  // However an editing closes, the window comes back: the tool bar, the mouse of the timeline
  // and the explorer and the insert/overwrite action at once, the tools' states half a second later.
  void afterAnyClosing()
  {
    QFETCH(QString, editing);
    QFETCH(bool, apply);
    Segment *segment = session.segment(editing == "text" ? "TEXT" : editing == "drawing" ? "DRAWING" : "IMAGE");
    if (editing == "text")
      static_cast<TextSegment *>(segment)->setText("Hello");
    const float time = segment->rangeStart() + 0.1f;
    window()->_setPlayheadTime(time, false);
    session.edit(segment);
    window()->_buildSegmentToolBar(segment, time);
    if (editing == "text")
      window()->_beginTextEditing(segment);
    else if (editing == "drawing")
      window()->_beginDrawing(segment);
    else
      window()->_beginCropping(segment);
    ScrollableToolBar *bar = window()->_segmentToolBar;
    QVERIFY(bar);
    QTRY_VERIFY(!bar->isVisible());
    QVERIFY(window()->editScrollArea()->isMouseTransparent());
    QWidget *explorer = window()->mediaExplorer()->widget();
    QVERIFY(explorer && explorer->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(!window()->actions().insertOverwriteMode->isEnabled());
    TooltipButton *border = bar->button(10012);
    QVERIFY(border);

    if (apply)
      window()->_commitInPlaceEditing();
    else if (editing == "text")
      window()->_endTextEditing(false);
    else if (editing == "drawing")
      window()->_endDrawing(false);
    else
      window()->_endCropping(false);
    // A state only a later refresh of the tools puts right: the border is there for a picture
    // in range.
    border->setEnabled(false);
    QVERIFY(!window()->editScrollArea()->isMouseTransparent());
    QVERIFY(!explorer->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(window()->actions().insertOverwriteMode->isEnabled());
    QTRY_VERIFY(bar->isVisible());
    QTRY_VERIFY(border->isEnabled());
  }

  // Wired tool widgets drive the canvas; the line width only once the slider is let go.
  void drawingWidgetsReachTheCanvas()
  {
    CanvasWidget canvas(64, 48);
    window()->_canvasWidget = &canvas;
    DrawingColorWidget colours(QSize(64, 48));
    DrawingTuningWidget tuning;
    DrawingToolsWidget tools(true);
    window()->_segmentEditingSetConnectionsForDrawingWidgets(&colours, &tuning, &tools);
    const float width = canvas.settings().lineWidth;
    emit tuning.drawingTuningWidgetLineWidthChanging(&tuning, width + 7);
    QCOMPARE(canvas.settings().lineWidth, width);
    emit tuning.drawingTuningWidgetLineWidthChanged(&tuning, width + 7);
    QCOMPARE(canvas.settings().lineWidth, width + 7);
    emit colours.drawingColorWidgetColorChanged(&colours, QColor(10, 20, 30));
    QCOMPARE(canvas.settings().color, QColor(10, 20, 30));
    window()->_canvasWidget = nullptr;
  }

  // The drawing saved as a picture: proposed in the folder used last, written as PNG.
  void drawingSavedAsPicture_data()
  {
    QTest::addColumn<QString>("answer"); // a file name in the folder, "" for a cancel
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("message");
    QTest::newRow("saved") << "mine.png" << true << "Saved OK";
    QTest::newRow("unwritable folder") << "mine.png" << false << "Save painting failed";
    QTest::newRow("cancelled") << "" << true << "";
  }

  void drawingSavedAsPicture()
  {
    QFETCH(QString, answer);
    QFETCH(bool, writable);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const QString target = writable ? folder.path() : folder.path() + "/missing/deeper";
    QSettings().setValue("SavePictureDir", "/tmp/earlier");
    CanvasWidget canvas(64, 48);
    window()->_canvasWidget = &canvas;
    window()->dialogs.calls.clear();
    window()->dialogs.answers = {answer.isEmpty() ? QVariant() : QVariant(target + "/" + answer)};
    session.huds.clear();
    window()->drawingToolsWidget_onCommand(nullptr, 10328, 0);
    window()->_canvasWidget = nullptr;
    QCOMPARE(window()->dialogs.kinds(), QStringList{"getSaveFileName"});
    const auto call = window()->dialogs.calls.first();
    QCOMPARE(call.title, QString("Save as Picture"));
    QCOMPARE(call.text, QString("/tmp/earlier/Tavo REN Painting.png"));
    QCOMPARE(call.buttons, QStringList{"Portable Network Graphics files (*.png)"});
    QCOMPARE(session.huds.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(QSettings().value("SavePictureDir").toString(), answer.isEmpty() ? QString("/tmp/earlier") : target);
    if (!answer.isEmpty() && writable)
      QCOMPARE(QImage(target + "/" + answer).size(), QSize(64, 48));
  }
};

TAVO_TEST_MAIN(TestInPlace)
#include "tst_inplace.moc"

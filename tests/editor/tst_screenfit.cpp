// The editor at the window sizes people use: the transform handles lie on the picture whatever
// the side panel and the window do, popups stay inside the window and the control bar keeps
// its buttons. TAVO_SCREENSHOT_DIR keeps the grabs for a look.

#include "editorfixture.h"
#include "gestures.h"
#include "mediafixtures.h"
#include "pixelprobe.h"
#include "testenv.h"

#include "avglwidget.h"
#include "commonpopup.h"
#include "desktopmainwindowform.h"
#include "editscrollarea.h"
#include "mediaexplorer.h"
#include "popupprojectsettingswidget.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentinspectorwidget.h"
#include "segmentwidget.h"
#include "tabsmediaexplorerwidget.h"
#include "texteditwidget.h"
#include "transformwidget.h"

#include <QGraphicsEffect>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QByteArray TextRow = "<Segment Type=\"TEXT\" TrackId=\"4\" RangeStart=\"0\" RangeDuration=\"3\" Text=\"Hello\"/>\n";

bool writeProject(const QString &dir, const QByteArray &more)
{
  if (!MediaFixtures::writeColorVideo(dir + "/clip.mp4", 640, 360, 10, 30))
    return false;
  return writeEditorProject(dir, "<Segment Type=\"MOVIE\" TrackId=\"3\" RangeStart=\"0\" RangeDuration=\"3\" "
                                 "File=\"clip.mp4\" TrimStart=\"0\" TrimDuration=\"3\"/>\n" + more);
}

struct SizedWindow
{
  EditorProject project;
  std::unique_ptr<TestEditorWindow> window;

  bool open(const QSize &size, const QByteArray &more = QByteArray())
  {
    if (!project.isValid() || !writeProject(project.directory(), more))
      return false;
    window = std::make_unique<TestEditorWindow>();
    return window->showUntilReady(more.isEmpty() ? 1 : 2) && resize(size);
  }
  bool resize(const QSize &size) const
  {
    window->resize(size);
    return QTest::qWaitFor([&] { return window->size() == size; }, 5000);
  }
  Segment *segmentOfType(const QString &type) const
  {
    ProjectManager *model = window->projectManager();
    for (int i = 0; i < model->segmentCount(); ++i)
      if (model->segmentAt(i)->type() == type)
        return model->segmentAt(i);
    return nullptr;
  }
  // A double click on the block, as the user starts editing it.
  bool edit(const QString &type = "MOVIE") const
  {
    EditScrollArea *area = window->editScrollArea();
    auto *block = static_cast<SegmentWidget *>(window->projectManager()->segmentWidgetOf(segmentOfType(type)));
    Gestures::doubleClick(area->viewport(), block->mapTo(area->viewport(), block->rect().center()));
    return QTest::qWaitFor(
        [&] {
          TransformWidget *handles = window->_transformWidget;
          return block->isEditing() && !area->isAnimating() && handles && !handles->graphicsEffect();
        },
        5000);
  }
  QRect onWindow(QWidget *widget, const QRect &rect) const
  {
    return QRect(widget->mapTo(window.get(), rect.topLeft()), rect.size());
  }
  QRect onWindow(QWidget *widget) const { return onWindow(widget, widget->rect()); }
  QRect handlesFrame() const
  {
    TransformWidget *handles = window->_transformWidget;
    return handles ? onWindow(handles, handles->contentLayerFrame()) : QRect();
  }
  QRect pictureFrame() const { return onWindow(window->previewWidget()); }
  void keepGrab(const QString &name) const
  {
    const QString dir = qEnvironmentVariable("TAVO_SCREENSHOT_DIR");
    if (!dir.isEmpty())
      window->grab().save(dir + "/" + name + ".png");
  }
};

bool sameFrame(const QRect &a, const QRect &b)
{
  const int tolerance = 2;
  return std::abs(a.left() - b.left()) <= tolerance && std::abs(a.top() - b.top()) <= tolerance &&
         std::abs(a.right() - b.right()) <= tolerance && std::abs(a.bottom() - b.bottom()) <= tolerance;
}

} // namespace

class TestScreenFit : public QObject
{
  Q_OBJECT

private slots:
  // A movie filling the frame: its handles' frame is the picture's frame on screen.
  void handlesLieOnThePicture_data()
  {
    QTest::addColumn<QString>("then");
    QTest::newRow("inspector opens") << "";
    // Only the picture's place changes: its height still sets its size.
    QTest::newRow("window a little narrower") << "1800x1080";
    QTest::newRow("window narrowed and widened") << "1024x768 1920x1080";
  }
  void handlesLieOnThePicture()
  {
    QFETCH(QString, then);
    SizedWindow w;
    QVERIFY(w.open(QSize(1920, 1080)));
    QVERIFY(w.edit());
    for (const QString &step : then.split(' ', Qt::SkipEmptyParts)) {
      const QStringList size = step.split('x');
      QVERIFY(w.resize(QSize(size.value(0).toInt(), size.value(1).toInt())));
    }
    QTRY_VERIFY2(sameFrame(w.handlesFrame(), w.pictureFrame()),
                 qPrintable(QString("handles (%1,%2 %3x%4), picture (%5,%6 %7x%8)")
                                .arg(w.handlesFrame().x()).arg(w.handlesFrame().y())
                                .arg(w.handlesFrame().width()).arg(w.handlesFrame().height())
                                .arg(w.pictureFrame().x()).arg(w.pictureFrame().y())
                                .arg(w.pictureFrame().width()).arg(w.pictureFrame().height())));
    // On screen: the corner handle's disc covers the picture's top-left corner.
    w.keepGrab("handles-" + QString(QTest::currentDataTag()).replace(' ', '-'));
    const QPoint corner = w.pictureFrame().topLeft();
    PROBE(PixelProbe::grab(w.window.get()), corner.x(), corner.y(), QColor(236, 236, 236), 40);
  }

  // With the inspector open: the control bar keeps every button, apart and inside it, and the
  // popups of its buttons lie inside the window, the configuration clear of the side panel.
  void controlBarAndPopupsFitTheWindow_data()
  {
    QTest::addColumn<QSize>("size");
    QTest::newRow("1920x1080") << QSize(1920, 1080);
    QTest::newRow("1280x720") << QSize(1280, 720);
    QTest::newRow("1024x768") << QSize(1024, 768);
  }
  void controlBarAndPopupsFitTheWindow()
  {
    QFETCH(QSize, size);
    SizedWindow w;
    QVERIFY(w.open(size));
    QVERIFY(w.edit());
    const DesktopMainWindowForm &f = w.window->form();
    const QRect windowRect = w.window->rect();

    w.keepGrab(QString("editing-%1x%2").arg(size.width()).arg(size.height()));
    const QRect bar = w.onWindow(f.rightAreaControlWidget);
    QRect previous;
    for (QPushButton *button : {f.previewScaleButton, f.previewQualityButton, f.fullscreenButton, f.previousPosButton,
                                f.playPauseButton, f.nextPosButton, f.undoButton, f.projectSettingsButton,
                                f.shareButton}) {
      QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
      const QRect r = w.onWindow(button);
      QVERIFY2(bar.contains(r) && r.width() >= 30, qPrintable(button->objectName()));
      QVERIFY2(previous.isNull() || r.left() > previous.right(), qPrintable(button->objectName()));
      previous = r;
    }

    // Every media tab shows whole in the media area.
    const QRect mediaArea = w.onWindow(f.mediaAreaWidget);
    auto *explorer = qobject_cast<TabsMediaExplorerWidget *>(w.window->mediaExplorer()->widget());
    QVERIFY(explorer);
    for (QPushButton *tab : explorer->tabButtons())
      QVERIFY2(mediaArea.contains(w.onWindow(tab)), qPrintable(tab->text()));
    // The strip is one colour after its last tab: no black band up to the preview.
    const QImage strip = PixelProbe::grab(explorer->scrollArea());
    const QColor stripColour = strip.pixelColor(2, strip.height() / 2);
    for (int x = w.onWindow(explorer->tabButtons().last()).right() - w.onWindow(explorer->scrollArea()).left();
         x < strip.width(); x += 8)
      PROBE(strip, x, strip.height() / 2, stripColour, 4);

    const QRect sidePanel = w.onWindow(f.inspectorAreaWidget);
    QVERIFY(sidePanel.width() > 0);
    QTest::mouseClick(f.projectSettingsButton, Qt::LeftButton);
    QPointer<PopupProjectSettingsWidget> settings = w.window->projectSettingsPopup();
    QVERIFY(settings);
    QTRY_VERIFY(settings->isVisible() && !settings->graphicsEffect());
    w.keepGrab(QString("configuration-%1x%2").arg(size.width()).arg(size.height()));
    const QRect panel = w.onWindow(settings->mainWidget());
    QVERIFY2(windowRect.contains(panel), qPrintable(QString("%1,%2 %3x%4").arg(panel.x()).arg(panel.y())
                                                        .arg(panel.width()).arg(panel.height())));
    QVERIFY(!panel.intersects(sidePanel));
    settings->dismiss();
    QTRY_VERIFY(!settings);

    QTest::mouseClick(f.shareButton, Qt::LeftButton);
    QPointer<CommonPopup> exporting;
    QTRY_VERIFY((exporting = w.window->findChild<CommonPopup *>()) && exporting->isVisible());
    QTRY_VERIFY(!exporting->graphicsEffect());
    w.keepGrab(QString("export-%1x%2").arg(size.width()).arg(size.height()));
    QVERIFY(windowRect.contains(w.onWindow(exporting->mainWidget())));
    exporting->dismiss();
    QTRY_VERIFY(!exporting);
  }

  // A text edited in place: the side panel is the inspector from its top, with "Editing..."
  // first and no empty black band above it, and the editor lies on the text's frame with no
  // handles left over it, at every window size.
  void textEditingFillsTheSidePanel_data()
  {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("then");
    QTest::newRow("1920x1080") << QSize(1920, 1080) << QSize();
    QTest::newRow("1280x720") << QSize(1280, 720) << QSize();
    QTest::newRow("1012x683") << QSize(1012, 683) << QSize();
    QTest::newRow("1920x1080 narrowed to 1000x700") << QSize(1920, 1080) << QSize(1000, 700);
  }
  void textEditingFillsTheSidePanel()
  {
    QFETCH(QSize, size);
    QFETCH(QSize, then);
    SizedWindow w;
    QVERIFY(w.open(size, TextRow));
    QVERIFY(w.edit("TEXT"));
    SegmentInspectorWidget *inspector = w.window->segmentInspectorWidget();
    QPushButton *editButton = inspector->findChild<QPushButton *>("editButton");
    QTRY_VERIFY(editButton && editButton->isVisible());
    QTest::mouseClick(editButton, Qt::LeftButton);
    QTRY_VERIFY(w.window->findChild<TextEditWidget *>() && w.window->findChild<TextEditWidget *>()->isVisible());
    QTRY_VERIFY(!w.window->editScrollArea()->isAnimating());
    if (then.isValid())
      QVERIFY(w.resize(then));
    // The editor lies on the text's frame, as wide as the picture, after a resize too.
    auto *editor = w.window->findChild<TextEditWidget *>();
    QTRY_COMPARE(w.onWindow(editor).left(), w.pictureFrame().left());
    QTRY_COMPARE(w.onWindow(editor).width(), w.pictureFrame().width());
    QTRY_VERIFY(w.window->findChildren<TransformWidget *>().isEmpty());
    // Its letters are as tall as the text's on the preview: the rows they ink (the caret, one
    // pixel wide, aside) stay within the editor's font size.
    const QImage typed = PixelProbe::grab(editor);
    int inkedRows = 0;
    for (int y = 0; y < typed.height(); ++y) {
      int inked = 0;
      for (int x = 0; x < typed.width(); ++x)
        inked += qGray(typed.pixel(x, y)) > 128;
      inkedRows += inked >= 3;
    }
    QVERIFY2(inkedRows > 0 && inkedRows <= editor->font().pixelSize(),
             qPrintable(QString("%1 rows inked, font %2 px").arg(inkedRows).arg(editor->font().pixelSize())));
    w.keepGrab(QString("text-editing-") + QString(QTest::currentDataTag()).replace(' ', '-'));

    QWidget *panel = w.window->form().inspectorAreaWidget;
    const QImage shot = PixelProbe::grab(panel);
    int blackRows = 0;
    for (int y = 0; y < shot.height(); ++y) {
      bool black = true;
      for (int x = 0; x < shot.width() && black; x += 4)
        black = (shot.pixel(x, y) & 0xffffff) == 0;
      blackRows += black;
    }
    QVERIFY2(blackRows == 0, qPrintable(QString("%1 black rows in the side panel").arg(blackRows)));
  }
};

TAVO_TEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"

#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>

#include <functional>

class QColor;
class QDateTime;
class QImage;
class QPoint;
class QRectF;
class QSize;
class QVector4D;
class QWidget;

// The placement record of a layer, shared by the editor and the engine bridge.
struct LayerGeometry
{
  double centerX = 0;
  double centerY = 0;
  float scaleWidth = 1;
  float scaleHeight = 1;
  float rotationX = 0;
  float rotationY = 0;
  float rotationZ = 0;
  float transparency = 0;
  double anchorX = 0.5;
  double anchorY = 0.5;
};

// Free operations of the program. A QObject only so its texts translate in the context "Util".
class Util : public QObject
{
  Q_OBJECT
public:
  Util() = delete;

  // --- Text and locale ---
  static QString appVersionString();
  // Country part of the system locale's name (en_US -> "US"), else its BCP 47 name.
  static QString systemCountryCode();
  // First interface language of the system locale with "_" separators (zh-CN -> "zh_CN").
  static QString systemUiLanguage();
  // "Today", else "M/d" in the current year, else "M/d/yyyy".
  static QString friendlyDateText(const QDateTime &dateTime);
  static QString formatDuration(int seconds);
  static QString formatFileSize(qint64 bytes);
  static QString musicFileFilter();
  static QString pictureFileFilter();
  static QString videoFileFilter();
  static QString cacheLocation();
  static QString machineName();
  static QString systemName();

  // --- Addresses ---
  static QString updateCheckUrl(const QString &baseAddress);
  static QString userHelpUrl(const QString &topic);

  // --- Files and folders ---
  static bool copyFile(const QString &source, const QString &destination, bool overwrite);
  static bool copyDirRecursively(const QString &sourceDir, const QString &destinationDir, bool overwrite);
  // Shows the item selected in the desktop's file manager, or opens its folder.
  static void showFileInExplorer(const QString &path);
  // The picture read at most maxSide wide and tall (aspect kept); null when unreadable.
  static QImage readImageScaledToFit(const QString &path, int maxSide);
  // Sum of an animation's frame delays in seconds; 0 without frames.
  static double gifDuration(const QString &path);
  // Codec, size and channel texts and the duration of a media file. False when the file
  // cannot be opened or read; a missing stream leaves its text untouched. The duration is the
  // container's, the longer of picture and sound: the length a movie segment made from the
  // file takes, also when its sound outlasts its picture (the last frame stays meanwhile).
  // A file that does not state its length (a single picture, a live stream) gives 0.
  static bool probeMediaInfo(const QString &path, QString &videoText, QString &audioText, double &seconds);

  // --- Geometry and widgets ---
  // 0 when |a - b| <= tolerance, else 1 when a > b and -1 otherwise (also for NaN).
  static int compareWithTolerance(float a, float b, float tolerance);
  // Red, green, blue and alpha as fractions 0..1 (x, y, z, w).
  static QVector4D colorToVector4(const QColor &color);
  static QRectF fitRectWithAspectRatio(float w, float h, const QRectF &bounds);
  // The primary screen's size with width <= height.
  static QSize portraitScreenSize();
  static QPoint widgetCenter(const QWidget *widget);
  static void moveWidgetCenterTo(QWidget *widget, const QPoint &point);
  static void moveWidgetCenterTo(QWidget *widget, int x, int y);
  static bool hasKeyboardModifier(Qt::KeyboardModifiers modifiers);
  static QWidget *findMainWindowCentralWidget();
  static void fadeOutWidget(QWidget *widget, int durationMs, bool deleteAfterwards);
  static void fadeInWidget(QWidget *widget, int durationMs, float targetOpacity);

  // --- Desktop and dialogs ---
  static void openUrl(const QString &address);
  // The help browser and the about box install themselves here; without them help opens
  // in the desktop's browser and the about box is a plain message.
  using UserHelpHandler = std::function<void(const QString &address, const QString &title)>;
  using AboutHandler = std::function<void(QWidget *parent)>;
  static void setUserHelpHandler(UserHelpHandler handler);
  static void setAboutHandler(AboutHandler handler);
  static void openUserHelp(const QString &address, const QString &title);
  static void showAbout(QWidget *parent);
  static int showMessageBox(QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon);

  // --- Shared dark style sheets ---
  static void applyDialogStyleSheet(QWidget *dialog);
  static void applyMenuBarStyleSheet(QWidget *menuBar);
  static void applyMenuStyleSheet(QWidget *menu);
  static void applyPopupMenuStyleSheet(QWidget *menu);
  static void applyScrollBarStyleSheet(QWidget *scrollBar);
};

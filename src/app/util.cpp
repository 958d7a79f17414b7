// Text, address, geometry and widget helpers. Files and media live in util_files.cpp,
// the shared style sheets in util_style.cpp.
#include "util.h"

#include "desktopservices.h"
#include "endpoints.h"

#include <QApplication>
#include <QColor>
#include <QDateTime>
#include <QGraphicsOpacityEffect>
#include <QMainWindow>
#include <QPropertyAnimation>
#include <QRectF>
#include <QScreen>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUrl>
#include <QVector4D>

namespace {
constexpr int kVersionMajor = 2;
constexpr int kVersionMinor = 3;
constexpr int kVersionPatch = 5;

Util::UserHelpHandler &userHelpHandler()
{
  static Util::UserHelpHandler handler;
  return handler;
}

Util::AboutHandler &aboutHandler()
{
  static Util::AboutHandler handler;
  return handler;
}

// Percent-encodes a filled address template, keeping its own separators readable.
// Field values also get "&" and "=" encoded: a host name or system name holding them
// would otherwise split the query into wrong fields.
QString encodeField(const QString &value)
{
  return QString::fromLatin1(QUrl::toPercentEncoding(value, ":/?"));
}

QString encodeAddress(const QString &filled)
{
  return QString::fromLatin1(QUrl::toPercentEncoding(filled, ":/?&="));
}

// The shared tail of the update-check and help queries: dev, os, ver, from, lang.
QString clientFields()
{
  return QStringLiteral("&dev=%1&os=%2&ver=%3&from=%4&lang=%5&end=1")
    .arg(encodeField(Util::machineName()), encodeField(Util::systemName()),
         encodeField(Util::appVersionString()), encodeField(Util::systemCountryCode()),
         encodeField(Util::systemUiLanguage()));
}
} // namespace

// --- Text and locale ---

QString Util::appVersionString()
{
  return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch);
}

QString Util::systemCountryCode()
{
  return countryCodeOf(QLocale::system());
}

QString Util::countryCodeOf(const QLocale &locale)
{
  const QStringList parts = locale.name().split('_', Qt::KeepEmptyParts);
  return parts.size() >= 2 ? parts.at(1) : locale.bcp47Name();
}

QString Util::systemUiLanguage()
{
  return uiLanguageOf(QLocale::system());
}

QString Util::uiLanguageOf(const QLocale &locale)
{
  const QStringList languages = locale.uiLanguages();
  QString language = languages.isEmpty() ? locale.name() : languages.first();
  return language.replace('-', '_');
}

QString Util::friendlyDateText(const QDateTime &dateTime)
{
  const QDate today = QDate::currentDate();
  if (dateTime.date() == today)
    return tr("Today");
  return dateTime.toString(dateTime.date().year() == today.year() ? QStringLiteral("M/d")
                                                                   : QStringLiteral("M/d/yyyy"));
}

QString Util::formatDuration(int seconds)
{
  if (seconds >= 3600)
    return QString::asprintf("%d:%02d:%02d", seconds / 3600, seconds % 3600 / 60, seconds % 60);
  return QString::asprintf("%02d:%02d", seconds / 60, seconds % 60);
}

QString Util::formatFileSize(qint64 bytes)
{
  // The byte count follows the user's locale; the rounded units are always written with a point.
  if (bytes < 1024)
    return tr("%L1 bytes").arg(bytes);
  if (bytes < 1048576)
    return QString::asprintf("%d KB", int(bytes / 1024));
  if (bytes < 1073741824)
    return QString::asprintf("%.1f MB", bytes / 1048576.0);
  return QString::asprintf("%.2f GB", bytes / 1073741824.0);
}

QString Util::musicFileFilter()
{
  return tr("All music files (*.mp3 *.wav *.m4a *.mid *.wma *.vqf *.ra)");
}

QString Util::pictureFileFilter()
{
  return tr("All picture files (*.png *.gif *.jpg *.jpeg *.bmp *.dib *.pbm *.pgm *.ppm *.xbm *.xpm *.svg "
            "*.tiff *.tif *.webp *.heic)");
}

QString Util::videoFileFilter()
{
  return tr("All video files (*.mp4 *.mov *.m4v *.avi *.wmv *.asf *.mkv *.3gp *.mpg *.mpeg *.dat *.m2v *.vob "
            "*.rm *.rmvb *.webm)");
}

QString Util::cacheLocation()
{
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QString Util::machineName()
{
  return QSysInfo::machineHostName();
}

QString Util::systemName()
{
  return QSysInfo::prettyProductName();
}

// --- Addresses ---

QString Util::updateCheckUrl(const QString &baseAddress)
{
  return encodeAddress(baseAddress) + QStringLiteral("?product=tr") + clientFields();
}

QString Util::userHelpUrl(const QString &topic)
{
  return encodeAddress(Endpoints::helpHost() + QStringLiteral("/tavoren2/user-help-desktop/index.html")) +
         QStringLiteral("?product=tr&branch=help&topic=") + encodeField(topic) + clientFields();
}

// --- Geometry and widgets ---

int Util::compareWithTolerance(float a, float b, float tolerance)
{
  const float d = a - b;
  if (d >= -tolerance && d <= tolerance)
    return 0;
  return d > 0 ? 1 : -1;
}

QVector4D Util::colorToVector4(const QColor &color)
{
  return QVector4D(float(color.redF()), float(color.greenF()), float(color.blueF()), float(color.alphaF()));
}

QRectF Util::fitRectWithAspectRatio(float w, float h, const QRectF &bounds)
{
  qreal width, height;
  if (w / h > float(bounds.width()) / float(bounds.height())) {
    width = bounds.width();
    height = width * h / w;
  } else {
    height = bounds.height();
    width = height * w / h;
  }
  return QRectF(bounds.x() + (bounds.width() - width) / 2, bounds.y() + (bounds.height() - height) / 2, width,
                height);
}

QSize Util::portraitScreenSize()
{
  const QScreen *screen = QGuiApplication::primaryScreen();
  if (!screen)
    return QSize();
  const QSize size = screen->size();
  return size.width() > size.height() ? size.transposed() : size;
}

QPoint Util::widgetCenter(const QWidget *widget)
{
  return widget->pos() + QPoint(widget->width() / 2, widget->height() / 2);
}

void Util::moveWidgetCenterTo(QWidget *widget, const QPoint &point)
{
  moveWidgetCenterTo(widget, point.x(), point.y());
}

void Util::moveWidgetCenterTo(QWidget *widget, int x, int y)
{
  widget->move(x - widget->width() / 2, y - widget->height() / 2);
}

bool Util::hasKeyboardModifier(Qt::KeyboardModifiers modifiers)
{
  return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

QWidget *Util::findMainWindowCentralWidget()
{
  for (QWidget *widget : QApplication::topLevelWidgets()) {
    auto *window = qobject_cast<QMainWindow *>(widget);
    if (window && window->objectName().contains(QLatin1String("MainWindow")))
      return window->centralWidget();
  }
  return nullptr;
}

void Util::fadeOutWidget(QWidget *widget, int durationMs, bool deleteAfterwards)
{
  auto *effect = new QGraphicsOpacityEffect(widget);
  effect->setOpacity(1.0);
  widget->setGraphicsEffect(effect);
  auto *animation = new QPropertyAnimation(effect, "opacity", widget);
  animation->setDuration(durationMs);
  animation->setStartValue(1.0);
  animation->setEndValue(0.0);
  QObject::connect(animation, &QPropertyAnimation::finished, widget, [widget, deleteAfterwards] {
    widget->setGraphicsEffect(nullptr);
    widget->hide();
    if (deleteAfterwards)
      widget->deleteLater();
  });
  animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void Util::fadeInWidget(QWidget *widget, int durationMs, float targetOpacity)
{
  auto *effect = new QGraphicsOpacityEffect(widget);
  effect->setOpacity(0.0);
  widget->setGraphicsEffect(effect);
  widget->show();
  auto *animation = new QPropertyAnimation(effect, "opacity", widget);
  animation->setDuration(durationMs);
  animation->setStartValue(0.0);
  animation->setEndValue(double(targetOpacity));
  if (targetOpacity >= 1.0f)
    QObject::connect(animation, &QPropertyAnimation::finished, widget, [widget] { widget->setGraphicsEffect(nullptr); });
  animation->start(QAbstractAnimation::DeleteWhenStopped);
}

// --- Desktop and dialogs ---

void Util::openUrl(const QString &address)
{
  DesktopServices::instance()->openUrl(QUrl(address));
}

void Util::setUserHelpHandler(UserHelpHandler handler)
{
  userHelpHandler() = std::move(handler);
}

void Util::setAboutHandler(AboutHandler handler)
{
  aboutHandler() = std::move(handler);
}

void Util::openUserHelp(const QString &address, const QString &title)
{
  if (userHelpHandler())
    userHelpHandler()(address, title);
  else
    openUrl(address);
}

void Util::showAbout(QWidget *parent)
{
  if (aboutHandler()) {
    aboutHandler()(parent);
    return;
  }
  const QString name = QCoreApplication::applicationName();
  showMessageBox(parent, tr("About %1").arg(name), name + ' ' + appVersionString(), QMessageBox::Information);
}

int Util::showMessageBox(QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon)
{
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  applyDialogStyleSheet(&box);
  return box.exec();
}

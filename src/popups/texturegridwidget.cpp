#include "texturegridwidget.h"

#include "dialogprovider.h"
#include "util.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int buttonSide = 65;
// Lets the press and the file dialog finish before the owner reacts.
constexpr int reportDelayMs = 200;

// The whole of source (or the part given) drawn smoothly onto a transparent pixmap of size.
QPixmap drawnScaled(const QPixmap &source, const QRectF &part, const QSize &size)
{
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.drawPixmap(QRectF(QPointF(0, 0), QSizeF(size)), source, part);
  return pixmap;
}
} // namespace

TextureGridWidget::TextureGridWidget(const QStringList &picturePaths, QWidget *parent) : QWidget(parent)
{
  setObjectName("TextureGridWidget");
  _buildForm();
  for (int i = 0; i < picturePaths.size(); ++i)
    _addGridButton(picturePaths[i], i + 1);
  _scrollArea->setStyleSheet("QScrollArea {background-color: transparent; border: none;}");
  // The scroll area makes its widget paint the window colour; ours shows the page.
  _scrollArea->viewport()->setAutoFillBackground(false);
  _scrollAreaWidgetContents->setAutoFillBackground(false);
  _scrollAreaWidgetContents->setStyleSheet(QString());
  _customButton->setStyleSheet("QPushButton {color: white; border: 1px solid white; border-radius: 5px;"
                               " background: transparent;}"
                               " QPushButton:pressed {background-color: rgb(31,32,35);}");
  connect(_customButton, &QPushButton::clicked, this, &TextureGridWidget::onCustomButtonClicked);
}

void TextureGridWidget::_buildForm()
{
  resize(400, 300);
  auto *verticalLayout = new QVBoxLayout(this);
  verticalLayout->setObjectName("verticalLayout");
  _scrollArea = new QScrollArea(this);
  _scrollArea->setObjectName("scrollArea");
  _scrollArea->setWidgetResizable(true);
  _scrollAreaWidgetContents = new QWidget;
  _scrollAreaWidgetContents->setObjectName("scrollAreaWidgetContents");
  _scrollArea->setWidget(_scrollAreaWidgetContents);
  verticalLayout->addWidget(_scrollArea);
  _customButton = new QPushButton(tr("Custom Picture..."), this);
  _customButton->setObjectName("customButton");
  _customButton->setFlat(true);
  _customButton->setFixedHeight(30);
  verticalLayout->addWidget(_customButton);
}

void TextureGridWidget::_addGridButton(const QString &path, int number)
{
  auto *button = new QPushButton(_scrollAreaWidgetContents);
  button->setFlat(true);
  button->setIconSize(QSize(buttonSide, buttonSide));
  const QPixmap picture(path);
  if (!picture.isNull()) {
    // The largest centred square of the picture.
    const QRectF crop = Util::fitRectWithAspectRatio(buttonSide, buttonSide, QRectF(picture.rect()));
    const qreal ratio = devicePixelRatioF();
    const int side = int(std::floor(buttonSide * ratio + 0.5));
    QPixmap icon = drawnScaled(picture, crop, QSize(side, side));
    icon.setDevicePixelRatio(ratio);
    button->setIcon(QIcon(icon));
  }
  button->setGeometry(0, 0, buttonSide, buttonSide);
  button->setProperty("tag", number);
  button->setProperty("img", path);
  connect(button, &QPushButton::clicked, this, &TextureGridWidget::onGridButtonClicked);
  _gridButtons.append(button);
}

void TextureGridWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  int x = 0, y = 0;
  for (QPushButton *button : qAsConst(_gridButtons)) {
    if (x + button->width() > _scrollArea->width()) {
      y += button->height();
      x = 0;
    }
    button->move(x, y);
    x += button->width();
  }
  _scrollAreaWidgetContents->setFixedHeight(_gridButtons.isEmpty() ? 0 : _gridButtons.last()->geometry().bottom());
}

void TextureGridWidget::onGridButtonClicked()
{
  QObject *button = sender();
  if (!button)
    return;
  const QString path = button->property("img").toString();
  QTimer::singleShot(reportDelayMs, this, [this, path] { emit textureGridWidgetPatternDidSelect(this, path); });
}

QString TextureGridWidget::customPatternPath()
{
  return Util::cacheLocation() + QDir::separator() + "texturePattern.png";
}

void TextureGridWidget::onCustomButtonClicked()
{
  QSettings settings;
  const QString folder =
    settings.value("OpenPictureDir", QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)).toString();
  const QString file =
    DialogProvider::instance()->getOpenFileName(nullptr, tr("Open a Picture"), folder, Util::pictureFileFilter());
  if (file.isEmpty())
    return;
  settings.setValue("OpenPictureDir", QFileInfo(file).absolutePath());
  const QPixmap picture(file);
  if (picture.isNull()) {
    qDebug() << "Texture pattern picture could not be read:" << file;
    return;
  }
  QTimer::singleShot(reportDelayMs, this, [this, picture] { _saveCustomPattern(picture); });
}

void TextureGridWidget::_saveCustomPattern(QPixmap picture)
{
  QSize canvas;
  emit textureGridWidgetGetCanvasSize(this, &canvas);
  // Without a usable canvas size the picture keeps its own.
  if (!canvas.isEmpty()) {
    const QRectF fit =
      Util::fitRectWithAspectRatio(picture.width(), picture.height(), QRectF(0, 0, canvas.width(), canvas.height()));
    if (picture.width() > fit.width() || picture.height() > fit.height()) {
      const QSize size(qMax(1, qRound(fit.width())), qMax(1, qRound(fit.height())));
      picture = drawnScaled(picture, QRectF(picture.rect()), size);
    }
  }
  const QString path = customPatternPath();
  // A fresh profile has no cache folder yet.
  if (!QDir().mkpath(Util::cacheLocation()) || !picture.save(path, "PNG")) {
    qDebug() << "Save texture pattern image failed";
    return;
  }
  emit textureGridWidgetPatternDidSelect(this, path);
}

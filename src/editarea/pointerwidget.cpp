#include "pointerwidget.h"

#include "animationswitch.h"

#include <QPainter>
#include <QPropertyAnimation>

#include <cmath>

namespace {
constexpr int ButtonWidth = 27;
constexpr int ButtonHeight = 21;
constexpr qreal LineWidth = 3.0;

struct PointerImages
{
  const char *button;
  const char *line;
};

const PointerImages Images[] = {
  {":/images/pointer_button", ":/images/pointer_gradient_line"},
  {":/images/pointer_button", ":/images/pointer_dashed_line"},
  {":/images/pointer_yellow_button", ":/images/pointer_yellow_line"},
  {":/images/pointer_yellow_dashed_button", ":/images/pointer_yellow_dashed_line"},
};
} // namespace

PointerWidget::PointerWidget(int style, int headHeight, QWidget *parent) : QWidget(parent), _headHeight(headHeight)
{
  setPointerStyle(style);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PointerWidget::setPointerStyle(int style)
{
  if (style == _style)
    return;
  _style = style;
  if (style >= 0 && style < int(std::size(Images))) {
    setButtonPixmap(QString::fromLatin1(Images[style].button));
    _linePixmap = QPixmap(QString::fromLatin1(Images[style].line));
  }
  update();
}

void PointerWidget::setButtonPixmap(const QString &path)
{
  const QPixmap image(path);
  if (image.isNull())
    return;
  _buttonPixmap = image.scaledToHeight(int(ButtonHeight * devicePixelRatioF()), Qt::SmoothTransformation);
  _buttonScale = float(_buttonPixmap.height()) / float(image.height());
}

float PointerWidget::centerX() const
{
  return float(x() + width() / 2);
}

void PointerWidget::setCenterX(float x, bool animated)
{
  const QPoint target(int(std::ceil(x - float(width() / 2))), y());
  if (animated && isAnimationEnabled()) {
    auto *animation = new QPropertyAnimation(this, "pos", this);
    animation->setDuration(200);
    animation->setEndValue(target);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return;
  }
  move(target);
}

void PointerWidget::paintEvent(QPaintEvent *)
{
  QPainter painter(this);
  QRectF line((width() - LineWidth) * 0.5, 0, LineWidth, height());
  if (_style == 0 || _style == 2) {
    painter.drawPixmap(line, _linePixmap, QRectF(_linePixmap.rect()));
  } else if (_style == 1 || _style == 3) {
    line.setTop(ButtonHeight);
    QBrush brush(_linePixmap);
    brush.setTransform(QTransform::fromScale(0.5, 0.5));
    painter.fillRect(line, brush);
  }
  painter.drawPixmap(QRectF((width() - ButtonWidth) * 0.5, 0, ButtonWidth, ButtonHeight), _buttonPixmap,
                     QRectF(_buttonPixmap.rect()));
}

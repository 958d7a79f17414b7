#include "gutterscrollarea.h"

#include "iconcache.h"
#include "segment.h"
#include "timelinegeometry.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScrollBar>

namespace {
constexpr int ButtonSide = 37;
// Never reset: tags keep growing across projects until updateTrackButtons rewrites them.
int s_tagCounter = 0;

QString iconForType(const QString &type)
{
  static const QHash<QString, QString> icons{
    {QStringLiteral("MOVIE"), QStringLiteral(":/images/track_video")},
    {QStringLiteral("IMAGE"), QStringLiteral(":/images/track_photo")},
    {QStringLiteral("TEXT"), QStringLiteral(":/images/track_text")},
    {QStringLiteral("MUSIC"), QStringLiteral(":/images/track_music")},
    {QStringLiteral("DRAWING"), QStringLiteral(":/images/track_draw")},
    {QStringLiteral("VOICE"), QStringLiteral(":/images/track_voice")},
    {QString(), QStringLiteral(":/images/track_empty")},
  };
  return icons.value(type);
}
} // namespace

GutterScrollArea::GutterScrollArea(QWidget *parent) : QScrollArea(parent)
{
  setWidgetResizable(true);
  auto *content = new QWidget;
  content->setStyleSheet(QStringLiteral("QWidget { background-color: transparent; } "
                                        "QPushButton { background-color: rgb(44,46,50); border-radius: 8px; } "
                                        "QPushButton:pressed { background-color: black; border-radius: 8px; }"));
  setWidget(content);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void GutterScrollArea::_setIcon(QPushButton *button, const QString &type)
{
  const QString icon = iconForType(type);
  if (icon.isEmpty())
    return;
  button->setIcon(cachedIcon(icon));
}

int GutterScrollArea::addTrackButton()
{
  const int n = _buttons.size();
  const float rowHeight = Timeline::rowHeight();
  auto *button = new QPushButton(widget());
  button->setFlat(true);
  button->setGeometry((Timeline::leftMargin() - ButtonSide) / 2 - 1,
                      int(rowHeight * float(n) + (rowHeight - float(ButtonSide)) * 0.5f), ButtonSide, ButtonSide);
  button->setIconSize(QSize(23, 23));
  _setIcon(button, QString());
  connect(button, &QPushButton::clicked, this, &GutterScrollArea::_onFunctionButtonPressed);
  _buttons.append(button);
  button->show();
  widget()->setFixedSize(width(), int(float(Timeline::TopBand) + rowHeight * float(n + 1) +
                                      float(Timeline::BottomMargin)));
  const int tag = ++s_tagCounter;
  button->setProperty("tag", tag);
  return tag;
}

QPushButton *GutterScrollArea::buttonByTag(int tag) const
{
  for (QPushButton *button : _buttons)
    if (button->property("tag").toInt() == tag)
      return button;
  return nullptr;
}

bool GutterScrollArea::isLastTrackButton(int tag) const
{
  return !_buttons.isEmpty() && _buttons.last()->property("tag").toInt() == tag;
}

void GutterScrollArea::setTrackType(int tag, const QString &type)
{
  if (QPushButton *button = buttonByTag(tag))
    _setIcon(button, type);
}

void GutterScrollArea::updateTrackButtons(const QList<int> &tags, const QStringList &types)
{
  int i = 0;
  int lastTag = 0;
  for (; i < _buttons.size() && i < tags.size() && i < types.size(); ++i) {
    _buttons[i]->setProperty("tag", tags[i]);
    _setIcon(_buttons[i], types[i]);
    lastTag = tags[i];
  }
  // The spare button below the last row follows on.
  if (_buttons.size() == tags.size() + 1)
    _buttons.last()->setProperty("tag", lastTag + 1);
}

void GutterScrollArea::_animateToTargets(const QHash<QPushButton *, QPoint> &targets)
{
  if (targets.isEmpty())
    return;
  auto *group = new QParallelAnimationGroup(this);
  for (auto it = targets.cbegin(); it != targets.cend(); ++it) {
    auto *move = new QPropertyAnimation(it.key(), "pos", group);
    move->setDuration(200);
    move->setEndValue(it.value());
    group->addAnimation(move);
  }
  group->start(QAbstractAnimation::DeleteWhenStopped);
}

void GutterScrollArea::removeTrackButton(int tag)
{
  removeTrackButtons({tag});
}

void GutterScrollArea::removeTrackButtons(const QList<int> &tags)
{
  const int rowHeight = int(Timeline::rowHeight());
  QHash<QPushButton *, QPoint> targets;
  for (int tag : tags) {
    QPushButton *button = buttonByTag(tag);
    if (!button)
      continue;
    const int index = _buttons.indexOf(button);
    _buttons.removeAt(index);
    targets.remove(button);
    button->hide();
    delete button;
    for (int i = index; i < _buttons.size(); ++i)
      targets[_buttons[i]] = targets.value(_buttons[i], _buttons[i]->pos()) - QPoint(0, rowHeight);
  }
  _animateToTargets(targets);
}

void GutterScrollArea::removeAllTrackButtons()
{
  qDeleteAll(_buttons);
  _buttons.clear();
}

void GutterScrollArea::setVerticalOffset(float y)
{
  if (float(verticalScrollBar()->value()) == y)
    return;
  verticalScrollBar()->setValue(int(y));
}

void GutterScrollArea::_onFunctionButtonPressed()
{
  if (QObject *button = sender())
    emit gutterAreaFunctionButtonPressed(button->property("tag").toInt());
}

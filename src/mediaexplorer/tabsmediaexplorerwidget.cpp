#include "tabsmediaexplorerwidget.h"

#include "explorerstyle.h"
#include "roundtabwidget.h"

#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

TabsMediaExplorerWidget::TabsMediaExplorerWidget(const QString &projectDir, QWidget *parent)
  : MediaExplorerWidget(projectDir, parent)
{
  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout");
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);
  QWidget *container = createPageContainer();
  _scrollArea = new QScrollArea(this);
  _scrollArea->setObjectName("scrollArea");
  _scrollArea->setMinimumSize(0, 44);
  _scrollArea->setMaximumSize(16777215, 44);
  _scrollArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  _scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  _scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  _scrollArea->setWidgetResizable(true);
  _scrollAreaWidget = new QWidget();
  _scrollAreaWidget->setObjectName("scrollAreaWidget");
  _scrollAreaWidget->setGeometry(0, 0, 398, 42);
  _scrollArea->setWidget(_scrollAreaWidget);
  layout->addWidget(container);
  layout->addWidget(_scrollArea);

  setStyleSheet("background-color: transparent;");
  _scrollArea->setStyleSheet("QScrollArea{background-color: black; border:none;}");

  _tabTitles << tr("Local Files") << tr("Music") << tr("Sound FX") << tr("Stickers") << tr("GIPHY");
  for (const QString &title : qAsConst(_tabTitles)) {
    auto *button = new QPushButton(title, _scrollAreaWidget);
    button->setStyleSheet("QPushButton{color: rgb(162,162,162); background-color: transparent; border: none;}"
                          "QPushButton:pressed, QPushButton[highlighted=\"true\"]{color: white;}");
    connect(button, &QPushButton::clicked, this, &TabsMediaExplorerWidget::onLocButtonClicked);
    _tabButtons << button;
  }
  _marker = new RoundTabWidget(1, QColor(28, 29, 32, 255), _scrollAreaWidget);
  _marker->lower();
  _layoutTabs();

  _currentIndex = -1;
  int index = settings()->value("Tabs/Index", 0).toInt();
  if (index < 0 || index >= _tabButtons.size())
    index = 0;
  selectTab(index);
}

TabsMediaExplorerWidget::~TabsMediaExplorerWidget()
{
  settings()->setValue("Tabs/Index", _currentIndex);
}

// Each tab is its text plus 30 px; in a media area too narrow for that the tabs close up (to
// 8 px each at least), so every tab stays in view.
void TabsMediaExplorerWidget::_layoutTabs()
{
  constexpr int FullPadding = 30;
  constexpr int LeastPadding = 8;
  const int radius = int(RoundTabWidget::cornerRadius());
  int texts = 0;
  for (QPushButton *button : qAsConst(_tabButtons))
    texts += button->fontMetrics().boundingRect(button->text()).width();
  const int count = qMax(1, int(_tabButtons.size()));
  // The strip spans the explorer's width.
  const int room = width() - radius - texts;
  const int padding = qBound(LeastPadding, room / count, FullPadding);
  int x = 0;
  for (QPushButton *button : qAsConst(_tabButtons)) {
    const int width = button->fontMetrics().boundingRect(button->text()).width() + padding;
    button->setGeometry(x, 0, width, 44);
    x += width;
  }
  // At least the tabs' width; in a wider media area the strip fills it, with no band of the
  // scroll area's own black after the last tab.
  _scrollAreaWidget->setMinimumWidth(radius + x);
  if (_currentIndex >= 0)
    _marker->setGeometry(_tabButtons.at(_currentIndex)->geometry().adjusted(-radius, 0, radius, 0));
}

void TabsMediaExplorerWidget::resizeEvent(QResizeEvent *event)
{
  MediaExplorerWidget::resizeEvent(event);
  _layoutTabs();
}

void TabsMediaExplorerWidget::selectTab(int index)
{
  if (index == _currentIndex || index < 0 || index >= _tabButtons.size())
    return;
  if (_currentIndex >= 0)
    ExplorerStyle::setHighlighted(_tabButtons.at(_currentIndex), false);
  _currentIndex = index;
  QPushButton *button = _tabButtons.at(index);
  ExplorerStyle::setHighlighted(button, true);
  const int radius = int(RoundTabWidget::cornerRadius());
  _marker->setGeometry(button->geometry().adjusted(-radius, 0, radius, 0));
  showCurrentTabPage();
}

void TabsMediaExplorerWidget::showCurrentTabPage()
{
  static const char *const kPageTypes[] = {"local_files", "in_app_music", "in_app_sound_fx", "in_app_stickers",
                                           "giphy"};
  if (_currentIndex < 0 || _currentIndex >= int(sizeof(kPageTypes) / sizeof(kPageTypes[0])))
    return;
  QMap<QString, QVariant> descriptor;
  if (_currentIndex == 0) {
    const QStringList movies = QStandardPaths::standardLocations(QStandardPaths::MoviesLocation);
    if (!movies.isEmpty())
      descriptor.insert("path", movies.first());
  }
  showPage(kPageTypes[_currentIndex], descriptor);
}

void TabsMediaExplorerWidget::onLocButtonClicked()
{
  const int index = _tabButtons.indexOf(qobject_cast<QPushButton *>(sender()));
  if (index >= 0)
    selectTab(index);
}

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
  int x = 0;
  for (const QString &title : qAsConst(_tabTitles)) {
    auto *button = new QPushButton(title, _scrollAreaWidget);
    const int width = button->fontMetrics().boundingRect(title).width() + 30;
    button->setGeometry(x, 0, width, 44);
    button->setStyleSheet("QPushButton{color: rgb(162,162,162); background-color: transparent; border: none;}"
                          "QPushButton:pressed, QPushButton[highlighted=\"true\"]{color: white;}");
    connect(button, &QPushButton::clicked, this, &TabsMediaExplorerWidget::onLocButtonClicked);
    _tabButtons << button;
    x += width;
  }
  _scrollAreaWidget->setFixedWidth(int(RoundTabWidget::cornerRadius() + x));
  _marker = new RoundTabWidget(1, QColor(28, 29, 32, 255), _scrollAreaWidget);
  _marker->lower();

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

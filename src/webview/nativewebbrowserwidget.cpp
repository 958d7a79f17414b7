#include "nativewebbrowserwidget.h"

#include "qnativewebview.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// The title the help pages all share; the opener's title says more.
const char *kGenericHelpTitle = "TavoREN User Help";
constexpr int kLoadingBarHeight = 2;
constexpr int kLoadingBarHideDelayMs = 1000;
} // namespace

NativeWebBrowserWidget::NativeWebBrowserWidget(QWidget *parent) : QWidget(parent)
{
  _setupForm();

  connect(_webView, &QNativeWebView::loadFinished, this, &NativeWebBrowserWidget::onEdgeWebViewLoadFinished,
          Qt::QueuedConnection);
  connect(_webView, &QNativeWebView::loadProgress, this, &NativeWebBrowserWidget::onEdgeWebViewLoadProgress,
          Qt::QueuedConnection);
  connect(_webView, &QNativeWebView::titleChanged, this, &NativeWebBrowserWidget::onEdgeWebViewTitleChanged,
          Qt::QueuedConnection);
  connect(_backButton, &QPushButton::clicked, this, &NativeWebBrowserWidget::onBackButtonClicked);
}

void NativeWebBrowserWidget::_setupForm()
{
  setObjectName("NativeWebBrowserWidget");
  resize(634, 466);
  setWindowTitle(tr("Form"));

  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout");
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);

  _topPanelWidget = new QWidget(this);
  _topPanelWidget->setObjectName("topPanelWidget");
  _topPanelWidget->setMinimumHeight(50);
  _topPanelWidget->setAttribute(Qt::WA_StyledBackground);
  auto *row = new QHBoxLayout(_topPanelWidget);
  row->setObjectName("horizontalLayout_2");
  row->setContentsMargins(style()->pixelMetric(QStyle::PM_LayoutLeftMargin), 9, 9, 9);

  _backButton = new QPushButton(_topPanelWidget);
  _backButton->setObjectName("backButton");
  _backButton->setFlat(true);
  _backButton->setMinimumWidth(40);
  _backButton->setToolTip(tr("Back"));
  QIcon icon;
  icon.addFile(":/images/navi_back_2", QSize(), QIcon::Normal);
  icon.addFile(":/images/navi_back_2_disabled", QSize(), QIcon::Disabled);
  _backButton->setIcon(icon);
  _backButton->setIconSize(QSize(20, 20));
  row->addWidget(_backButton);
  row->addSpacerItem(new QSpacerItem(559, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  layout->addWidget(_topPanelWidget);

  _webContainer = new QWidget(this);
  _webContainer->setObjectName("webContainer");
  auto *containerLayout = new QHBoxLayout(_webContainer);
  containerLayout->setContentsMargins(0, 0, 0, 0);
  _webView = new QNativeWebView(_webContainer);
  containerLayout->addWidget(_webView);
  layout->addWidget(_webContainer, 1);

  _topPanelWidget->setStyleSheet(
    "#topPanelWidget { background-color: rgb(31,32,35); color: white; border: none; }"
    "QPushButton { color: white; background-color: transparent; }"
    "QPushButton:hover { background-color: rgb(44,46,50); border-radius: 5px; }"
    "QPushButton:pressed { background-color: black; border-radius: 5px; }"
    "QToolTip { background-color: rgb(54,200,255); color: white; padding: 2px; border-radius: 3px; }");
  QFont font = _topPanelWidget->font();
  font.setPointSize(font.pointSize() + 1);
  _topPanelWidget->setFont(font);
}

void NativeWebBrowserWidget::load(const QString &url)
{
  _webView->load(url);
}

void NativeWebBrowserWidget::setTitle(const QString &title)
{
  _title = title;
  window()->setWindowTitle(title);
}

QString NativeWebBrowserWidget::title() const
{
  const QString page = _webView->title();
  return page.isEmpty() || page == kGenericHelpTitle ? _title : page;
}

void NativeWebBrowserWidget::onEdgeWebViewLoadFinished(bool)
{
  if (_loadingBar)
    _loadingBar->hide();
}

void NativeWebBrowserWidget::onEdgeWebViewLoadProgress(int progress)
{
  _progress = progress;
  _updateLoadingBar(true);
  if (progress == 100)
    QTimer::singleShot(kLoadingBarHideDelayMs, _loadingBar, &QWidget::hide);
}

void NativeWebBrowserWidget::onEdgeWebViewTitleChanged(QString)
{
  window()->setWindowTitle(title());
  emit titleChanged(title());
}

void NativeWebBrowserWidget::onBackButtonClicked()
{
  _webView->back();
}

void NativeWebBrowserWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  // Redrawn at the last progress; a bar hidden after its load stays hidden.
  _updateLoadingBar(false);
}

void NativeWebBrowserWidget::_updateLoadingBar(bool show)
{
  if (!_loadingBar) {
    if (!show)
      return;
    _loadingBar = new QWidget(_topPanelWidget);
    _loadingBar->setObjectName("loadingBar");
    _loadingBar->setStyleSheet("QWidget{background-color:rgb(54,200,255);}");
    _loadingBar->setAttribute(Qt::WA_StyledBackground);
  }
  if (show) {
    _loadingBar->show();
    _loadingBar->raise();
  }
  _loadingBar->setGeometry(0, _topPanelWidget->height() - kLoadingBarHeight,
                           _topPanelWidget->width() * _progress / 100, kLoadingBarHeight);
}

NativeWebBrowserWidget *NativeWebBrowserWidget::openHelpWindow(const QString &address, const QString &title)
{
  auto *browser = new NativeWebBrowserWidget(nullptr);
  browser->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
  browser->setAttribute(Qt::WA_DeleteOnClose);
  browser->setFixedSize(1024, 800);
  browser->setTitle(title);
  browser->show();
  browser->load(address);
  return browser;
}

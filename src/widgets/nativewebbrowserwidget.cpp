#include "nativewebbrowserwidget.h"

#include <QDesktopServices>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

NativeWebBrowserWidget::NativeWebBrowserWidget(QWidget *parent) : QWidget(parent), _view(new QTextBrowser(this))
{
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(_view);
  _view->setReadOnly(true);
  // Links leave the program: the desktop's browser opens them.
  _view->setOpenLinks(false);
  connect(_view, &QTextBrowser::anchorClicked, this, &NativeWebBrowserWidget::_onLinkClicked);
}

void NativeWebBrowserWidget::setTitle(const QString &title)
{
  _title = title;
  if (QWidget *w = window())
    w->setWindowTitle(title);
}

void NativeWebBrowserWidget::load(const QString &address)
{
  _address = address;
  const QString escaped = address.toHtmlEscaped();
  _view->setHtml(QString("<p>%1</p><p><a href=\"%2\">%2</a></p><p><a href=\"%2\">%3</a></p>")
                   .arg(tr("The help pages open in your web browser."), escaped, tr("Open in browser")));
}

QString NativeWebBrowserWidget::title() const
{
  // The stand-in shows no page of its own, so there is no page title to prefer.
  return _title;
}

void NativeWebBrowserWidget::_onLinkClicked(const QUrl &url)
{
  QDesktopServices::openUrl(url);
}

NativeWebBrowserWidget *NativeWebBrowserWidget::openHelpWindow(const QString &address, const QString &title)
{
  auto *browser = new NativeWebBrowserWidget(nullptr);
  browser->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  browser->setAttribute(Qt::WA_DeleteOnClose);
  browser->setFixedSize(1024, 800);
  browser->setTitle(title);
  browser->show();
  browser->load(address);
  return browser;
}

#pragma once

#include <QWidget>

class QTextBrowser;

// The help-page browser. Until the embedded web view lands this stand-in shows the address
// with a link that opens it in the desktop's browser; the interface is the final one.
class NativeWebBrowserWidget : public QWidget
{
  Q_OBJECT
public:
  explicit NativeWebBrowserWidget(QWidget *parent = nullptr);

  // Stores the fallback title and puts it on the widget's window.
  void setTitle(const QString &title);
  void load(const QString &address);
  // The page title, or the stored title when the page has none.
  virtual QString title() const;
  QString address() const { return _address; }

  // The separate help window: no parent, deleted on close, title bar with a close button
  // only, fixed 1024 x 800; shown, then loads the address.
  static NativeWebBrowserWidget *openHelpWindow(const QString &address, const QString &title);

signals:
  void titleChanged(QString title);

private:
  void _onLinkClicked(const QUrl &url);

  QTextBrowser *_view;
  QString _title;
  QString _address;
};

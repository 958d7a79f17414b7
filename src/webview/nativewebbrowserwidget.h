#pragma once

#include <QWidget>

class QNativeWebView;
class QPushButton;

// The small browser window of the help pages: a dark top panel with a back button, the web
// view below it and a thin loading bar along the bottom edge of the panel. The window title
// follows the page title, with a fallback title given by the opener.
class NativeWebBrowserWidget : public QWidget
{
  Q_OBJECT
public:
  explicit NativeWebBrowserWidget(QWidget *parent = nullptr);

  void load(const QString &url);
  // Stores the fallback title and puts it on the widget's window.
  void setTitle(const QString &title);
  // The page title, or the fallback title when the page has none or the generic one.
  virtual QString title() const;

  // The separate help window: no parent, deleted on close, title bar with a close button
  // only, fixed 1024 x 800; shown, then loads the address.
  static NativeWebBrowserWidget *openHelpWindow(const QString &address, const QString &title);

signals:
  void titleChanged(QString title);

public slots:
  void onEdgeWebViewLoadFinished(bool ok);
  void onEdgeWebViewLoadProgress(int progress);
  void onEdgeWebViewTitleChanged(QString title);
  void onBackButtonClicked();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void _setupForm();
  void _updateLoadingBar(bool show);

  QWidget *_topPanelWidget = nullptr;
  QPushButton *_backButton = nullptr;
  QWidget *_webContainer = nullptr;
  QNativeWebView *_webView = nullptr;
  QWidget *_loadingBar = nullptr;
  int _progress = 0;
  QString _title;
};

#pragma once
// The signals of a QNativeWebView in the order they came, as readable texts
// ("loadStarted", "loadProgress(50)", "titleChanged(Guide)", ...).

#include "qnativewebview.h"

#include <QObject>
#include <QStringList>

class WebViewSignalLog : public QObject
{
public:
  QStringList entries;

  explicit WebViewSignalLog(QNativeWebView *view)
  {
    connect(view, &QNativeWebView::loadStarted, this, [this] { entries << "loadStarted"; });
    connect(view, &QNativeWebView::loadProgress, this,
            [this](int progress) { entries << QString("loadProgress(%1)").arg(progress); });
    connect(view, &QNativeWebView::loadFinished, this,
            [this](bool ok) { entries << QString("loadFinished(%1)").arg(ok ? "true" : "false"); });
    connect(view, &QNativeWebView::titleChanged, this,
            [this](const QString &title) { entries << QString("titleChanged(%1)").arg(title); });
    connect(view, &QNativeWebView::urlChanged, this,
            [this](const QUrl &url) { entries << QString("urlChanged(%1)").arg(url.toString()); });
  }
};

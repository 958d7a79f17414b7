#pragma once

#include <QString>
#include <QUrl>

// What a caller needs of a web view: the address and title of its page, and loading.
class IQWebView
{
public:
  virtual ~IQWebView() = default;
  virtual QUrl url() const = 0;
  virtual QString title() const = 0;
  virtual void load(const QUrl &url) = 0;
};

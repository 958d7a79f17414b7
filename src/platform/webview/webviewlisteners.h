#pragma once

#include <string>

// What an engine reports about the page it shows. The owner of the engine implements the
// ones it needs and hands them to the engine; each is called on the GUI thread.

class WebViewTitleChangeListener
{
public:
  virtual ~WebViewTitleChangeListener() = default;
  // The document's title, UTF-8; empty for a page without one.
  virtual void documentTitleChanged(const std::string &title) = 0;
};

class WebViewNavigationStartingListener
{
public:
  virtual ~WebViewNavigationStartingListener() = default;
  virtual void navigationStarting() = 0;
};

class WebViewNavigationCompletedListener
{
public:
  virtual ~WebViewNavigationCompletedListener() = default;
  virtual void navigationCompleted(bool success) = 0;
};

class WebViewSourceChangedListener
{
public:
  virtual ~WebViewSourceChangedListener() = default;
  virtual void sourceChanged() = 0;
};

class WebViewContentLoadingListener
{
public:
  virtual ~WebViewContentLoadingListener() = default;
  virtual void contentLoading() = 0;
};

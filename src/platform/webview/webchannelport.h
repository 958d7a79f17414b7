#pragma once

#include <QObject>
#include <functional>

// The one object a page sees over the web channel: the page side of the script bridge
// posts its messages here.
class WebChannelPort : public QObject
{
  Q_OBJECT
public:
  using Receiver = std::function<void(const QString &message)>;
  WebChannelPort(Receiver receiver, QObject *parent);

public slots:
  void post(const QString &message);

private:
  Receiver _receiver;
};

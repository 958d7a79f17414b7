#include "webchannelport.h"

WebChannelPort::WebChannelPort(Receiver receiver, QObject *parent) : QObject(parent), _receiver(std::move(receiver))
{
}

void WebChannelPort::post(const QString &message)
{
  if (_receiver)
    _receiver(message);
}

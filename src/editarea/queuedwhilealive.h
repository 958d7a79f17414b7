#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>

// Connects a signal whose first argument names a widget to a slot that runs later, from the
// event loop, and only while that widget lives. A plain queued connection would hand the slot
// the raw pointer of a widget deleted meanwhile, or of another one made at its address.
template <typename Sender, typename Object, typename Receiver, typename... Args>
void connectQueuedWhileAlive(Sender *sender, void (Sender::*signal)(Object *, Args...), Receiver *receiver,
                             void (Receiver::*slot)(Object *, Args...))
{
  QObject::connect(
    sender, signal, receiver,
    [receiver, slot](Object *object, Args... args) {
      QPointer<Object> guarded(object);
      QMetaObject::invokeMethod(
        receiver,
        [receiver, slot, guarded, args...] {
          if (guarded)
            (receiver->*slot)(guarded.data(), args...);
        },
        Qt::QueuedConnection);
    },
    Qt::DirectConnection);
}

#pragma once

class QMutex;

// Qt Multimedia's default service provider keeps the services it hands out in a map without
// a lock, and the media preview makes its players on a thread of its own. Whoever makes or
// deletes a media object that requests or releases a service (QMediaPlayer, QCamera,
// QAudioRecorder) holds this around that call only: never across an event loop, never while
// waiting on another thread.
QMutex &mediaServiceMutex();

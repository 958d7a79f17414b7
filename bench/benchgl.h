#pragma once
// Start-up shared by the GL benchmarks: the 3.2 core format and shared contexts, set before the
// application object exists.

#include <QCoreApplication>
#include <QSurfaceFormat>

inline void benchSetUpGL()
{
  QSurfaceFormat format;
  format.setVersion(3, 2);
  format.setProfile(QSurfaceFormat::CoreProfile);
  QSurfaceFormat::setDefaultFormat(format);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

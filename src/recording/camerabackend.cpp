#include "camerabackend.h"

#include "qtcamerabackend.h"

namespace {
CameraBackend::Factory &installedFactory()
{
  static CameraBackend::Factory factory;
  return factory;
}
} // namespace

CameraBackend::CameraBackend(QObject *parent) : QObject(parent)
{
  qRegisterMetaType<CameraDevice>("CameraDevice");
}

CameraBackend::~CameraBackend() = default;

CameraBackend *CameraBackend::create(QObject *parent)
{
  if (installedFactory())
    return installedFactory()(parent);
  return new QtCameraBackend(parent);
}

void CameraBackend::setFactory(Factory factory)
{
  installedFactory() = std::move(factory);
}

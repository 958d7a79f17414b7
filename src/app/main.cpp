#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSurfaceFormat>

int main(int argc, char **argv)
{
  QCoreApplication::setOrganizationName("Tarnholm");
  QCoreApplication::setOrganizationDomain("tarnholm.com");
  QCoreApplication::setApplicationName("Tavo REN");

  QSurfaceFormat format;
  format.setVersion(3, 2);
  format.setProfile(QSurfaceFormat::CoreProfile);
  QSurfaceFormat::setDefaultFormat(format);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

  QApplication app(argc, argv);

  // Start window: a 4:3 rectangle inside the available screen, inset by a tenth of its height.
  QMainWindow window;
  window.setWindowTitle("Tavo REN");
  const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
  const int inset = avail.height() / 10;
  const QRect inner = avail.adjusted(inset, inset, -inset, -inset);
  QSize size(inner.height() * 4 / 3, inner.height());
  if (size.width() > inner.width())
    size = QSize(inner.width(), inner.width() * 3 / 4);
  window.resize(size);
  window.move(inner.center() - QPoint(size.width() / 2, size.height() / 2));
  window.show();
  return app.exec();
}

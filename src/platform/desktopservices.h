#pragma once

#include <QUrl>

// The desktop calls the program makes (open an address, show a file in the file manager),
// behind one replaceable object so tests can see what was asked without a desktop.
class DesktopServices
{
public:
  virtual ~DesktopServices() = default;

  // Opens the address with the desktop's default handler.
  virtual bool openUrl(const QUrl &url);

  // Asks the file manager (org.freedesktop.FileManager1 on the session bus) to show the
  // files with them selected. False when no bus or no file manager answered.
  virtual bool showItems(const QList<QUrl> &files);

  // The services in use; the desktop's own until a test installs another.
  static DesktopServices *instance();

  // Installs services (not owned; null restores the desktop's own).
  static void setInstance(DesktopServices *services);
};

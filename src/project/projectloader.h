#pragma once

#include "propertymap.h"
#include "trackplacement.h"

#include <QString>
#include <QThread>
#include <QVariant>

#include <atomic>
#include <mutex>

class ProjectManager;

// What a ProjectLoader reports through onMessage, in the order it can report it.
enum ProjectLoaderMessage {
  LoaderConvertFailed = 14, // "project.plist" could not be converted; payload: the converter's text
  LoaderProjectDamaged = 15, // no readable "project.xml"
  LoaderBackgroundColor = 6, // payload: the project's background colour, ARGB
  LoaderSegmentsRead = 5, // takeSegments() holds the maps
  LoaderProgress = 2, // payload: QPoint(segments loaded, segments)
  LoaderFinished = 100,
};

// Opens a project in two stages: loadProperties on the GUI thread decides whether it can be
// opened at all; then the thread reads the segments' property maps, hands them over with
// message 5, waits for the window to lay them out and then for every segment's loading.
// cancel() ends both waits, so the window can stop it and wait() before the manager dies;
// a cancelled loader sends nothing more and leaves the manager alone.
class ProjectLoader : public QThread
{
  Q_OBJECT

public:
  ProjectLoader(const QString &name, const QString &folder, ProjectManager *manager, QObject *parent = nullptr);
  ~ProjectLoader() override;

  // 0: readable, version at most 5.0; 11: "properties.plist" could not be converted (error
  // receives the text); 12: damaged (no properties file, or unreadable); 13: newer version.
  static int loadProperties(const QString &name, const QString &folder, ProjectManager *manager, QString *error);

  // The maps read, for the receiver of message 5 to adopt; empty before it and afterwards.
  PropertyMapList takeSegments();
  // Set before start(): the maps are put where every block can be seen, on the loader's thread,
  // before message 5; what that moved is read with the maps.
  void setDefaultLengths(const TrackPlacement::DefaultLength &lengths) { m_defaultLengths = lengths; }
  TrackPlacement::Result placement();

signals:
  void onMessage(ProjectLoader *loader, int message, QVariant data);

public slots:
  void setLayoutEditAreaCompleted() { m_layoutCompleted = true; }
  void cancel() { m_cancelled = true; }

protected:
  void run() override;

private:
  // Sleeps in short steps until done() or cancel(); false when cancelled.
  template <typename Done> bool _waitUntil(int stepMs, Done done);
  // Brings the chroma-key keys of a converted project up to date; true when any map had them.
  static bool _migrateChromaKey(PropertyMap &map);

  // Held by the thread for its whole run and taken by the destructor after waiting: what run()
  // touched is seen as done before the loader goes (the thread's own end is invisible to the
  // race checker).
  std::mutex m_runLock;
  std::mutex m_segmentsLock; // the list passes from the thread to the receiver of message 5
  PropertyMapList m_segments;
  TrackPlacement::DefaultLength m_defaultLengths;
  TrackPlacement::Result m_placement;
  QString m_name;
  QString m_folder;
  ProjectManager *m_manager;
  std::atomic<bool> m_layoutCompleted{false};
  std::atomic<bool> m_cancelled{false};
};

#pragma once

#include "projectcontext.h"
#include "projecthistory.h"
#include "propertymap.h"

#include <QList>
#include <QMap>
#include <QPoint>
#include <QSet>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

class QXmlStreamWriter;
class Segment;
class SegmentView;

// The layout values saved in "layout.xml", by name.
using ProjectLayout = QMap<QString, int>;

// The open project: its segments (owned) with the parallel list of their timeline blocks
// (not owned), the properties of "properties.xml", the layout, the modified flag and the
// undo history. The mutex guards the lists and the file operations that say so; it is not
// recursive, and nothing that holds it calls another operation that takes it.
//
// File operations return 0, -1 (a file or folder cannot be opened or created), -2 (the XML
// could not be written completely) or a positive QXmlStreamReader error. Every file is
// written to a temporary name and renamed into place, so a failure leaves the old one as it was.
class ProjectManager : public ProjectContext
{
public:
  // The newest manager is the project context segments ask for the frame shape (one project
  // is open at a time).
  ProjectManager();
  ~ProjectManager() override;
  ProjectManager(const ProjectManager &) = delete;
  ProjectManager &operator=(const ProjectManager &) = delete;

  // Identity.
  QString projectName() const { return m_name; }
  void setProjectName(const QString &name) { m_name = name; }
  QString projectFolder() const { return m_folder; }
  void setProjectFolder(const QString &folder) { m_folder = folder; }

  // Properties: plain fields, no lock, the modified flag untouched.
  float version() const { return m_version; }
  void setVersion(float version) { m_version = version; }
  int resolution() const override { return m_resolution; }
  void setResolution(int resolution) { m_resolution = resolution; }
  bool direction() const override { return m_direction; }
  void setDirection(bool landscape) { m_direction = landscape; }
  float frameRate() const { return m_frameRate; }
  void setFrameRate(float rate) { m_frameRate = rate; }
  float duration() const { return m_duration; }
  void setDuration(float seconds) { m_duration = seconds; }
  float timeScale() const { return m_timeScale; }
  void setTimeScale(float scale) { m_timeScale = scale; }
  bool fixCoverImage() const { return m_fixCoverImage; }
  void setFixCoverImage(bool fix) { m_fixCoverImage = fix; }
  float imageScale() const { return m_imageScale; }
  void setImageScale(float scale) { m_imageScale = scale; }
  quint32 backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(quint32 argb) { m_backgroundColor = argb; }
  int segmentMode() const { return m_segmentMode; }
  void setSegmentMode(int mode) { m_segmentMode = mode; }
  bool edit() const { return m_edit; }
  void setEdit(bool edit) { m_edit = edit; }
  bool isModified() const { return m_modified.load(); }
  void setModified(bool modified);
  float startTime();

  // Layout values: -1 (the hidden flag: false) when absent.
  const ProjectLayout &layout() const { return m_layout; }
  int inspectorAreaSize() const;
  void setInspectorAreaSize(int size);
  bool isMediaAreaHidden() const;
  void setMediaAreaHidden(bool hidden);
  int mediaAreaSize() const;
  void setMediaAreaSize(int size);
  int previewAreaSize() const;
  void setPreviewAreaSize(int size);
  int previewQuality() const;
  void setPreviewQuality(int quality);

  // The segment list, ordered by track and start when filled through insertSegment.
  void insertSegment(Segment *segment, SegmentView *widget);
  void appendSegment(Segment *segment, SegmentView *widget);
  void removeSegment(Segment *segment);
  void removeSegmentAt(int index);
  void clearSegments();
  void setSegmentWidgetAt(SegmentView *widget, int index);
  void resetTrackIds();
  int segmentCount();
  Segment *segmentAt(int index);
  SegmentView *segmentWidgetAt(int index);
  SegmentView *segmentWidgetOf(Segment *segment);
  Segment *firstSegment() const;
  int indexOfSegmentId(quint32 id);
  int indexOfSegmentUId(const QString &uid);
  int segmentCountOnTrack(int track);
  // out holds segmentCount() entries; returns how many were written.
  int layerSegmentIds(quint32 *out);
  bool isFileUsedByOtherSegment(const QString &fileName, Segment *except);
  void setSegmentWidgetsActive(bool active, Segment *except, bool animated);
  SegmentView *segmentWidgetAtTime(float time, int track);
  // Nearest starts within 1/30 s; track 0 matches every track. No lock.
  Segment *segmentStartingAtOrAfter(float time, int track) const;
  Segment *segmentStartingAfter(float time, int track) const;
  Segment *segmentStartingAtOrBefore(float time, int track) const;
  Segment *segmentStartingBefore(float time, int track) const;
  void updateDuration();
  bool allSegmentsLoaded(QPoint *counts = nullptr);

  // Sizes from the aspect index and orientation.
  float aspectRatio() const;
  QSizeF aspectSize() const;
  QSize previewVideoSize(int quality) const;
  QSize outputVideoSize(int index) const;

  // Folders. Every path is empty while the working directory is unknown, so nothing is ever
  // created at the file-system root.
  static QString workingDirectory();
  static void setWorkingDirectory(const QString &path);
  static QString projectsDirectory();
  static QString projectDirectory(const QString &name, const QString &folder);
  static QString projectFilePath(const QString &name, const QString &folder);
  static QString propertiesFilePath(const QString &name, const QString &folder);
  static QString layoutFilePath(const QString &name, const QString &folder);
  static QString projectPlistPath(const QString &name, const QString &folder);
  static QString propertiesPlistPath(const QString &name, const QString &folder);
  static QString historyDirectory(const QString &name, const QString &folder);
  static QString historyFilePath(const QString &name, const QString &folder, int number);

  // Files of a project folder.
  int saveSegments(const QString &name, const QString &folder);
  // The segments as saveSegments writes them, taken on the thread that changes them, so that the
  // writing can go to another: the maps share their texts with the segments'.
  struct SegmentsCopy
  {
    std::shared_ptr<const PropertyMapList> maps;
    QMap<int, QString> unread;
  };
  SegmentsCopy copySegments();
  // saveSegments of a copy, on any thread.
  int saveSegments(const QString &name, const QString &folder, const SegmentsCopy &copy);
  // Whether the segments and the unread elements still are what copy holds.
  bool holdsSegments(const SegmentsCopy &copy);
  // Appends new maps to list. Static: jobs read a project without making a manager, which
  // would take the open project's place as the segments' project context.
  static int loadSegments(PropertyMapList &list, const QString &name, const QString &folder);
  int saveProperties(const QString &name, const QString &folder);
  int loadProperties(const QString &name, const QString &folder);
  int saveLayout();
  int loadLayout();
  // Why the last saveSegments or saveProperties failed, as the system put it; empty after
  // a success.
  QString saveError() const { return m_saveError; }

  // Segment elements of "project.xml" that this version cannot read, by their position among
  // the file's segments (as loadSegments counts them): kept as XML text and written back in
  // their place by saveSegments. Returns how many were found.
  int keepUnreadSegments(const QList<int> &positions);
  int unreadSegmentCount() const { return m_unreadSegments.size(); }
  // Reads the last path component of every value that "project.xml" holds, for namedFiles to
  // answer from until saveSegments writes the file. Meant for the loader's thread; it stops when
  // cancelled is set. False when the file cannot be read whole.
  bool readNamedFiles(const QString &name, const QString &folder, const std::atomic<bool> &cancelled);
  // Which of candidates (bare file names) is the last path component of a value of
  // "project.xml", known without reading it: from what saveSegments last wrote, or else from
  // what readNamedFiles found. False when neither can tell: the file was not read whole. Any
  // thread: the written texts are looked through without the lock.
  bool namedFiles(const QSet<QString> &candidates, QSet<QString> *named);

  // Undo history. undo and redo return the snapshot's maps, or null: *failed tells a snapshot
  // that could not be written or read (history unchanged) from nothing to step to.
  const ProjectHistory &history() const { return m_history; }
  int recordOperation(const QString &name, const QString &folder);
  int recordCurrentState(const QString &name, const QString &folder);
  std::unique_ptr<PropertyMapList> undo(bool *failed = nullptr);
  std::unique_ptr<PropertyMapList> redo(bool *failed = nullptr);
  // Forgets the snapshot just recorded, entry and file.
  void discardLastOperation();
  void removeHistory(const QString &name, const QString &folder);
  static void deletePropertyList(PropertyMapList *list);

private:
  int _layoutValue(const char *name) const;
  int _insertIndex(int track, float start) const;
  Segment *_nearestStart(float time, int track, bool forward, bool inclusive) const;
  // Writes the segments as an XML document at path, with the unread elements in their places
  // when asked, and waits for the disk when synced; the caller holds the mutex.
  int _writeSegmentsFile(const QString &path, bool indent, bool withUnread, const char *warning,
                         QString *error = nullptr, bool synced = true) const;
  // Appends the Segment elements of a file to list: 0, -1 or the reader's error.
  static int _readSegmentsFile(const QString &path, PropertyMapList &list, const char *warning);
  // Writes a snapshot of the segments at number of the history folder.
  int _writeSnapshot(const QString &name, const QString &folder, int number, QString *path);
  std::unique_ptr<PropertyMapList> _readSnapshot(const QString &path) const;
  // The maps of a snapshot file kept in memory while the file stays as it was; a segment the
  // same in several snapshots has one map in them.
  using SnapshotMaps = std::vector<std::shared_ptr<const PropertyMap>>;
  void _keepSnapshot(const QString &path, std::shared_ptr<const SnapshotMaps> maps) const;
  std::unique_ptr<PropertyMapList> _keptSnapshot(const QString &path) const;
  // A snapshot pushed as a new edit's, or (current) as the current state's.
  int _record(const QString &name, const QString &folder, bool current);

  QList<Segment *> m_segments;
  QList<SegmentView *> m_segmentWidgets;
  // Where each run-time id was last found; emptied whenever the list changes.
  QHash<quint32, int> m_indexOfId;
  QString m_name;
  QString m_folder;
  ProjectLayout m_layout;
  float m_version = 5.0f;
  int m_resolution = 1;
  bool m_direction = true;
  float m_frameRate = 30.0f;
  float m_duration = 0.0f;
  float m_timeScale = 1.0f;
  bool m_fixCoverImage = false;
  float m_imageScale = 1.0f;
  quint32 m_backgroundColor = 0xFF000000u;
  int m_segmentMode = 0;
  bool m_edit = false;
  // Also set by the project loader's thread.
  std::atomic<bool> m_modified{false};
  ProjectHistory m_history;
  // The snapshots last written or read, newest first, each with the size and times its file
  // had then: undo and redo read back what the last edit or step wrote without parsing it.
  struct KeptSnapshot
  {
    QString path;
    // The file's inode, size and change times: a replaced or rewritten file differs in one.
    std::array<qint64, 6> stamp{};
    std::shared_ptr<const SnapshotMaps> maps;
  };
  mutable QList<KeptSnapshot> m_keptSnapshots;
  // What the last snapshot wrote of each segment, in order: an unchanged segment takes it again.
  struct WrittenSegment
  {
    quint32 id = 0;
    std::shared_ptr<const PropertyMap> map;
    // Null for a segment too long to keep as bytes.
    QByteArray element;
  };
  std::vector<WrittenSegment> m_lastWritten;
  QMap<int, QString> m_unreadSegments;
  // What "project.xml" holds since saveSegments last wrote it; null while it is the file that
  // was opened, whose names readNamedFiles kept (whole when it could read them all).
  SegmentsCopy m_written;
  QSet<QString> m_namesRead;
  bool m_namesReadWhole = false;
  QString m_saveError;
  std::mutex m_mutex;
  // Held for the whole of a segments save, from the writing to the note of what was written, so
  // that saves from two threads land in order; taken before m_mutex, never while holding it.
  std::mutex m_saveMutex;
};

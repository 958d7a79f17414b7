#pragma once

#include "resourceasset.h"

#include <QPixmap>
#include <QWidget>

class QListWidgetItem;
class QPushButton;
class QVBoxLayout;
class ResourceAssetsListWidget;

// A page of built-in assets: a row of tag buttons above the assets of the chosen tag, as icon
// tiles (mode 0, stickers) or rows with title and duration (mode 1, music and sound effects).
class ResourceAssetsWidget : public QWidget
{
  Q_OBJECT
public:
  ResourceAssetsWidget(int mode, const QStringList &tags, const ResourceAssetHash &assets, QWidget *parent);

  static QSize itemSize(int mode);
  // "%d:%02d", or "%d:%02d:%02d" from one hour on, of the whole seconds.
  static QString durationText(float seconds);

  void selectTag(const QString &tag);
  void reloadItems();
  QPushButton *tagButton(const QString &tag) const;
  QString currentTag() const { return _currentTag; }
  QWidget *tagsPanel() const { return _tagsPanel; }
  ResourceAssetsListWidget *listWidget() const { return _list; }

signals:
  void assetItemClicked(int type, QString resPath, QPixmap image, QString metadata);

public slots:
  void onTagButtonClicked();
  void onItemClicked(QListWidgetItem *item);
  void onItemDoubleClicked(QListWidgetItem *item);
  void onFetchResPathForItem(QListWidgetItem *item, int &type, QString &outResPath, float &outDuration,
                             float &outScale);

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  // The asset behind a list row of the current tag; null when there is none.
  const ResourceAsset *_assetAt(QListWidgetItem *item) const;

  QVBoxLayout *_layout = nullptr;
  QWidget *_tagsPanel = nullptr;
  ResourceAssetsListWidget *_list = nullptr;
  int _mode = 0;
  ResourceAssetHash _assets;
  QList<QPushButton *> _tagButtons;
  QString _currentTag;
};

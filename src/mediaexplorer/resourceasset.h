#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One built-in asset: a sticker picture or a music or sound-effect file in the resources.
struct ResourceAsset
{
  QString title;     // empty for stickers
  QString path;      // the file that goes on the timeline
  QString thumbnail; // the tile image; empty for audio
  int type = 0;      // MediaItemType
  float duration = 0;
  float scale = 0;
};

using ResourceAssetHash = QHash<QString, QList<ResourceAsset>>;

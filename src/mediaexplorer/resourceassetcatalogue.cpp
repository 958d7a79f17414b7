#include "resourceassetcatalogue.h"

#include "mediaitemtype.h"
#include "resourceassettables.h"

#include <QCoreApplication>

using namespace ResourceAssetTables;

namespace {
ResourceAsset _sound(const Sound &sound, const QString &folder)
{
  ResourceAsset asset;
  asset.title = QCoreApplication::translate("MediaExplorerWidget", sound.title);
  const QString file = QString::fromUtf8(sound.fileName ? sound.fileName : sound.title);
  asset.path = folder + file + ".mp3";
  asset.type = MediaItemTypeAudio;
  asset.duration = sound.seconds;
  return asset;
}

QString _translatedTag(const char *tag)
{
  return QCoreApplication::translate("MediaExplorerWidget", tag);
}
} // namespace

ResourceAssetCatalogue ResourceAssetCatalogue::music()
{
  ResourceAssetCatalogue catalogue;
  const QString tag = "general";
  QList<ResourceAsset> list;
  for (int i = 0; i < kMusicCount; ++i)
    list << _sound(kMusic[i], i < kMusicV1Count ? ":/music/v1/" : ":/music/v2/");
  catalogue.tags << tag;
  catalogue.assets.insert(tag, list);
  return catalogue;
}

ResourceAssetCatalogue ResourceAssetCatalogue::soundFx()
{
  ResourceAssetCatalogue catalogue;
  for (const SoundTag &group : kSoundFx) {
    const QString folder = QString(":/soundfx/%1/").arg(group.folder);
    QList<ResourceAsset> list;
    for (int i = 0; i < group.count; ++i)
      list << _sound(group.sounds[i], folder);
    const QString tag = _translatedTag(group.tag);
    catalogue.tags << tag;
    catalogue.assets.insert(tag, list);
  }
  return catalogue;
}

ResourceAssetCatalogue ResourceAssetCatalogue::stickers()
{
  ResourceAssetCatalogue catalogue;
  for (const StickerTag &group : kStickers) {
    QList<ResourceAsset> list;
    for (int n = 1; n <= group.count; ++n) {
      const QString number = QString::number(n).rightJustified(2, '0');
      ResourceAsset asset;
      asset.thumbnail = QString(":/stickers/%1/%2.png").arg(group.folder, number);
      asset.path = QString(":/stickers/%1/Content/%2.png").arg(group.folder, number);
      asset.type = MediaItemTypePicture;
      asset.scale = 0.5f;
      list << asset;
    }
    const QString tag = _translatedTag(group.tag);
    catalogue.tags << tag;
    catalogue.assets.insert(tag, list);
  }
  return catalogue;
}

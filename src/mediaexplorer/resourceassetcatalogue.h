#pragma once

#include "resourceasset.h"

// The built-in music, sound effects and stickers, each as its tags in display order and the
// assets under every tag. Built when a page is first shown; nothing is kept here.
struct ResourceAssetCatalogue
{
  QStringList tags;
  ResourceAssetHash assets;

  static ResourceAssetCatalogue music();
  static ResourceAssetCatalogue soundFx();
  static ResourceAssetCatalogue stickers();
};

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The export choices shared by the export and the project settings popups. Each list is
// process-wide and filled on first use, in the order the menus show it.

struct ExportCodec
{
  QString id;
  QString displayName;
};

// 60, 30, 25, 24 frames per second.
const QList<float> &frameRateList();
// ("h264", "H.264"), ("hevc", "HEVC"), ("vp9", "VP9").
const QList<ExportCodec> &exportCodecList();
// The ids alone, in the same order; the editor reads them.
const QStringList &exportCodecIdList();

// The display name of the codec id; "H.264" (the first entry) for an unknown id.
QString codecDisplayName(const QString &id);
// How a rate reads on buttons and in menus: 60, 30, 29.97.
QString frameRateText(float rate);
// frameRateList as the menus show it.
QStringList frameRateTexts();

#include "exportlists.h"

const QList<float> &frameRateList()
{
  static const QList<float> rates{60.0f, 30.0f, 25.0f, 24.0f};
  return rates;
}

const QList<ExportCodec> &exportCodecList()
{
  static const QList<ExportCodec> codecs{
    {QStringLiteral("h264"), QStringLiteral("H.264")},
    {QStringLiteral("hevc"), QStringLiteral("HEVC")},
    {QStringLiteral("vp9"), QStringLiteral("VP9")},
  };
  return codecs;
}

const QStringList &exportCodecIdList()
{
  static const QStringList ids = [] {
    QStringList list;
    for (const ExportCodec &codec : exportCodecList())
      list << codec.id;
    return list;
  }();
  return ids;
}

QString codecDisplayName(const QString &id)
{
  const QList<ExportCodec> &codecs = exportCodecList();
  for (int i = codecs.size() - 1; i >= 0; --i)
    if (codecs[i].id == id)
      return codecs[i].displayName;
  return codecs.first().displayName;
}

QString frameRateText(float rate)
{
  return QString::number(double(rate), 'g', 6);
}

QStringList frameRateTexts()
{
  QStringList texts;
  for (float rate : frameRateList())
    texts << frameRateText(rate);
  return texts;
}

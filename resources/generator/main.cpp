// Draws the program's images and sounds at build time and writes the resource file that
// lists them. Everything here is our own artwork made from code: no outside file is read, and
// the same program always writes the same bytes.
//
//   tavo_imagegen <output folder>

#include "artwork.h"
#include "exampleproject.h"
#include "builtinassets.h"
#include "gifencoder.h"
#include "glyphs.h"
#include "mp3encoder.h"
#include "resourceassettables.h"
#include "soundsynth.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {

struct Entry
{
  QString prefix;
  QString alias;
  QString file;
};

class Writer
{
public:
  explicit Writer(const QString &root) : _root(root) {}

  void png(const QString &prefix, const QString &alias, const QImage &image)
  {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    raw(prefix, alias, alias.contains('.') ? alias : alias + ".png", bytes);
  }

  void raw(const QString &prefix, const QString &alias, const QString &file, const QByteArray &bytes)
  {
    const QString rel = prefix + "/" + file;
    _writeFile(_root + "/" + rel, bytes);
    _entries.append({prefix, alias, rel});
  }

  bool writeQrc(const QString &name);

private:
  void _writeFile(const QString &path, const QByteArray &bytes)
  {
    QDir().mkpath(QFileInfo(path).path());
    // Leave an identical file untouched so its time stamp does not trigger rebuilds.
    QFile existing(path);
    if (!(existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)) {
      existing.close();
      QFile out(path);
      if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "tavo_imagegen: cannot write %s\n", qPrintable(path));
        _failed = true;
      }
    }
  }

  QString _root;
  QVector<Entry> _entries;
  bool _failed = false;
};

bool Writer::writeQrc(const QString &name)
{
  QByteArray text;
  QTextStream s(&text);
  s << "<!DOCTYPE RCC><RCC version=\"1.0\">\n";
  QString open;
  for (const Entry &e : qAsConst(_entries)) {
    if (e.prefix != open) {
      if (!open.isEmpty())
        s << "</qresource>\n";
      s << "<qresource prefix=\"/" << e.prefix << "\">\n";
      open = e.prefix;
    }
    s << "  <file alias=\"" << e.alias << "\">" << e.file << "</file>\n";
  }
  if (!open.isEmpty())
    s << "</qresource>\n";
  s << "</RCC>\n";
  s.flush();
  _writeFile(_root + "/" + name, text);
  return !_failed;
}

} // namespace

int main(int argc, char **argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: tavo_imagegen <output folder>\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  Writer w(QString::fromLocal8Bit(argv[1]));

  for (const Artwork::Image &img : Artwork::images())
    w.png(img.prefix, img.alias, img.image);
  for (const Artwork::Animation &anim : Artwork::animations()) {
    GifEncoder gif(anim.frames.first().width(), anim.frames.first().height(), anim.loop);
    for (const QImage &frame : anim.frames)
      gif.addFrame(frame, anim.delayCs);
    w.raw(anim.prefix, anim.alias, anim.alias + ".gif", gif.finish());
  }
  w.raw("assets", "shutter.wav", "shutter.wav", Artwork::shutterSound());

  // Built-in music and sound effects, synthesised at their catalogue lengths, and stickers.
  using namespace ResourceAssetTables;
  // 40 kbit/s mono keeps the 14 minutes of sound near 4 MB.
  Mp3Encoder::Encoder encoder(40000);
  QVector<QPair<QString, QString>> soundFiles;
  const auto sound = [&](const QString &prefix, const Sound &s, const char *folder) {
    const QString name = QString::fromUtf8(s.fileName ? s.fileName : s.title);
    encoder.add(folder ? SoundSynth::effect(folder, name, s.seconds) : SoundSynth::music(name, s.seconds));
    soundFiles.append({prefix, name + ".mp3"});
  };
  for (int i = 0; i < kMusicCount; ++i)
    sound(i < kMusicV1Count ? "music/v1" : "music/v2", kMusic[i], nullptr);
  for (const SoundTag &tag : kSoundFx)
    for (int i = 0; i < tag.count; ++i)
      sound(QString("soundfx/") + tag.folder, tag.sounds[i], tag.folder);
  encoder.finish();
  for (int i = 0; i < soundFiles.size(); ++i)
    w.raw(soundFiles[i].first, soundFiles[i].second, soundFiles[i].second, encoder.file(i));
  const bool soundsOk = encoder.error().isEmpty();
  if (!soundsOk)
    std::fprintf(stderr, "tavo_imagegen: sounds: %s\n", qPrintable(encoder.error()));
  for (const StickerTag &tag : kStickers)
    for (int n = 1; n <= tag.count; ++n) {
      const QString name = QString::number(n).rightJustified(2, '0') + ".png";
      w.png(QString("stickers/") + tag.folder, name, BuiltinAssets::sticker(tag.folder, n, 80));
      w.png(QString("stickers/") + tag.folder, "Content/" + name, BuiltinAssets::sticker(tag.folder, n, 240));
    }
  // The example project is saved by the program's own code into a scratch folder first.
  const QTemporaryDir scratch;
  const QVector<ExampleProject::File> example = ExampleProject::files(scratch.path());
  if (example.isEmpty())
    std::fprintf(stderr, "tavo_imagegen: the example project could not be saved\n");
  for (const ExampleProject::File &file : example)
    w.raw("examples", file.path, file.path, file.bytes);
  return w.writeQrc("tavo_images.qrc") && soundsOk && !example.isEmpty() ? 0 : 1;
}

#pragma once
// Real-world files as other programs write them, made with the ffmpeg command-line tool.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace FfmpegCli {

// Runs ffmpeg quietly with the arguments, overwriting the output; true when it succeeded.
inline bool run(const QStringList &arguments)
{
  QProcess ffmpeg;
  ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  ffmpeg.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + arguments);
  return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

// A sine tone of the given length, encoded by the codec the output name implies unless one
// is given, with extra output arguments (tags, channels...) before the name.
inline bool tone(const QString &path, double seconds, const QStringList &output = {}, double frequency = 440)
{
  return run(QStringList{"-f", "lavfi", "-i",
                         QString("sine=frequency=%1:sample_rate=44100:duration=%2").arg(frequency).arg(seconds)} +
             output + QStringList{path});
}

} // namespace FfmpegCli

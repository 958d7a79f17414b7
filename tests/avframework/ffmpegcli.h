#pragma once
// Real-world files as other programs write them, made with the ffmpeg command-line tool.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace FfmpegCli {

// Runs ffmpeg quietly with the arguments, overwriting the output; true when it succeeded. What
// it writes to pipe:1 goes to standardOutput when one is named: an output it cannot seek back in.
inline bool run(const QStringList &arguments, const QString &standardOutput = {}, int timeoutMs = 60000)
{
  QProcess ffmpeg;
  ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  if (!standardOutput.isEmpty())
    ffmpeg.setStandardOutputFile(standardOutput);
  ffmpeg.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + arguments);
  return ffmpeg.waitForFinished(timeoutMs) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
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

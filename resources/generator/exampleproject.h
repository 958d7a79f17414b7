#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The example project copied into the user's "Examples" folder on first use: a picture and
// a title over it, with its cover picture and the sample marker. The project is saved through
// the project manager into scratchDirectory (its working directory for the run); empty when
// that fails.
namespace ExampleProject {

struct File
{
  QString path; // relative to ":/examples"
  QByteArray bytes;
};

QVector<File> files(const QString &scratchDirectory);

} // namespace ExampleProject

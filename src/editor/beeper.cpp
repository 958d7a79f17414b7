#include "beeper.h"

#include <QApplication>

namespace {
std::function<void()> &installed()
{
  static std::function<void()> beeper;
  return beeper;
}
} // namespace

void Beeper::beep()
{
  if (installed())
    installed()();
  else
    QApplication::beep();
}

void Beeper::install(std::function<void()> beeper)
{
  installed() = std::move(beeper);
}

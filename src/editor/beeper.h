#pragma once
// The system beep the editor sounds on a refused command, replaceable so tests can count it.

#include <functional>

class Beeper
{
public:
  static void beep();
  // An empty function puts the system beep back.
  static void install(std::function<void()> beeper);
};

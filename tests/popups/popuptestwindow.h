#pragma once
// The window the popup tests show their popups over (header only).

#include <QWidget>
#include <QtTest>

struct PopupTestWindow
{
  QWidget top;
  explicit PopupTestWindow(int width = 1200, int height = 800)
  {
    top.resize(width, height);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
  }
};

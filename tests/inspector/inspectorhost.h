#pragma once
// What the inspector gives its controllers, for tests: a content widget in a shown window,
// with the controllers' widgets and separators one under the other (header only).

#include "commoneditingwidgetcontroller.h"

#include <QMetaMethod>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

#include <memory>
#include <vector>

struct InspectorHost
{
  QWidget top;
  QWidget *content = nullptr;
  QVBoxLayout *column = nullptr;

  explicit InspectorHost(int width = 320, int height = 900)
  {
    top.setStyleSheet("background-color: rgb(7,8,10);");
    auto *outer = new QVBoxLayout(&top);
    outer->setContentsMargins(0, 0, 0, 0);
    // Room above, so that growing the window moves the controllers without resizing them.
    outer->addStretch(1);
    content = new QWidget(&top);
    outer->addWidget(content);
    column = new QVBoxLayout(content);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    top.resize(width, height);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
  }

  template <class Controller>
  Controller *add(Controller *controller)
  {
    column->addWidget(controller->editingWidget());
    column->addWidget(controller->separator());
    controller->setVisible(true);
    return controller;
  }
};

// Records every value signal of a popup (every signal of the popup classes with "Chang" in its
// name but the layout report), so a test can prove that loading reported nothing.
class ValueReports
{
public:
  explicit ValueReports(QObject *popup)
  {
    const QMetaObject *meta = popup->metaObject();
    for (int i = QWidget::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
      const QMetaMethod method = meta->method(i);
      if (method.methodType() != QMetaMethod::Signal || !method.name().contains("Chang") ||
          method.name() == "widgetFitHeightChanged")
        continue;
      _names << QString::fromLatin1(method.name());
      _spies.emplace_back(new QSignalSpy(popup, QByteArray("2" + method.methodSignature()).constData()));
    }
  }
  int watched() const { return int(_spies.size()); }
  // The names of the signals that were emitted.
  QStringList fired() const
  {
    QStringList names;
    for (size_t i = 0; i < _spies.size(); ++i)
      if (!_spies[i]->isEmpty())
        names << _names[int(i)];
    return names;
  }

private:
  QStringList _names;
  std::vector<std::unique_ptr<QSignalSpy>> _spies;
};

// The controllers only ask whether the editor's transform overlay exists.
inline class TransformWidget *someTransformWidget()
{
  static QObject stand;
  return reinterpret_cast<class TransformWidget *>(&stand);
}

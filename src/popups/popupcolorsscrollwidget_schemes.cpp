// Colour schemes of the colour adjustment popup: the options menu, applying built-in and
// user schemes, saving the current values as a scheme file, and the managing list.

#include "popupcolorsscrollwidget.h"

#include "dialogprovider.h"
#include "popupformparts.h"
#include "popupcolorsscrollwidgetedititemwidget.h"
#include "popupcolorsscrollwidgetoneslideritemwidget.h"
#include "util.h"

#include <QDir>
#include <QFile>
#include <QCursor>
#include <QFileInfo>
#include <QHash>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <functional>
#include <iterator>

namespace {
constexpr int schemeVersion = 1;
constexpr int editItemHeight = 45;
const QString schemeSuffix = QStringLiteral(".scheme");

const char *const schemeKeys[PopupColorsScrollWidget::correctionCount] = {
  "saturation", "brightness", "contrast", "whiteBalance", "exposure", "hue", "red", "green", "blue"};

// "[None]", "[Mono]", "[Cold]", "[Warm]", "[Yellow]".
const PopupColorsScrollWidget::Values builtInValues[] = {
  {0, 0, 0, 0, 0, 0, 0, 0, 0},    {-100, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, -100, 0, 0, 0, 0, 0},
  {0, 0, 0, 100, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 50, 50, -100}};

void styleMenu(QMenu *menu, bool embedded)
{
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  menu->setStyleSheet(QString("QMenu {background-color: %1; color: white; padding: 10px; border-radius: 10px;}"
                              "QMenu::item {padding: 8px 20px;}"
                              "QMenu::item:selected {background-color: rgb(44,46,50);}"
                              "QMenu::item:disabled {color: rgb(64,64,64);}"
                              "QMenu::separator {height: 1px; background: rgb(44,46,50);}")
                        .arg(embedded ? "rgba(25,26,28,230)" : "rgba(7,8,10,230)"));
}

void deleteSoon(QWidget *widget)
{
  // It may be the sender of the signal being handled.
  if (!widget)
    return;
  widget->hide();
  widget->deleteLater();
}
} // namespace

QString PopupColorsScrollWidget::schemesFolder()
{
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Colors";
}

QString PopupColorsScrollWidget::_schemeFile(const QString &name) const
{
  return schemesFolder() + "/" + name + schemeSuffix;
}

void PopupColorsScrollWidget::_reloadUserSchemes()
{
  _userSchemes.clear();
  const QStringList files = QDir(schemesFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  for (const QString &file : files)
    if (file.endsWith(schemeSuffix, Qt::CaseSensitive))
      _userSchemes << file.chopped(schemeSuffix.size());
}

// --- Options button and menu ---

void PopupColorsScrollWidget::_createOptionsButton()
{
  auto *button = new QPushButton(_mainWidget);
  button->setFlat(true);
  button->setIcon(QIcon(":/images/project_menu"));
  button->setIconSize(QSize(20, 20));
  button->setFixedSize(30, 30);
  button->setStyleSheet(PopupFormParts::optionsButtonStyle());
  connect(button, &QPushButton::clicked, this, &PopupColorsScrollWidget::onOptionsButtonPressed);
  button->show();
  _optionsButton = button;
}

void PopupColorsScrollWidget::_placeButton(QPushButton *button)
{
  if (!button || !_titleLabel)
    return;
  const QRect title = _titleLabel->geometry();
  const int x = title.x() + title.width() - button->width() - (_embedded ? 0 : 10);
  const int y = title.y() + title.height() / 2 - button->height() / 2 + 5;
  button->move(x, y);
  button->raise();
}

void PopupColorsScrollWidget::onOptionsButtonPressed()
{
  _reloadUserSchemes();
  if (_optionsButton)
    _optionsButton->setIcon(QIcon(":/images/project_menu_selected"));

  QHash<QAction *, std::function<void()>> commands;
  auto *menu = new QMenu(this);
  styleMenu(menu, _embedded);
  QMenu *schemes = menu->addMenu(tr("Schemes"));
  styleMenu(schemes, _embedded);
  for (const QString &name : qAsConst(_userSchemes)) {
    QString text = name;
    commands.insert(schemes->addAction(text.replace('&', "&&")), [this, name] { _loadScheme(name); });
  }
  if (!_userSchemes.isEmpty())
    schemes->addSeparator();
  for (int i = 0; i < _builtInSchemes.size(); ++i)
    commands.insert(schemes->addAction(_builtInSchemes[i]), [this, i] { _applyBuiltInScheme(i); });
  QAction *save = menu->addAction(tr("Save as Scheme..."));
  save->setEnabled(std::any_of(_values.begin(), _values.end(), [](int v) { return v != 0; }));
  commands.insert(save, [this] { _saveAsScheme(); });
  if (!_userSchemes.isEmpty()) {
    menu->addSeparator();
    commands.insert(menu->addAction(tr("Manage...")), [this] { _enterManageMode(); });
  }

  const QPoint at = _optionsButton ? _optionsButton->mapToGlobal(_optionsButton->rect().center()) : QCursor::pos();
  QPointer<PopupColorsScrollWidget> alive(this);
  QAction *chosen = DialogProvider::instance()->execMenu(menu, at);
  if (!alive)
    return;
  const std::function<void()> command = chosen && chosen->isEnabled() ? commands.value(chosen) : nullptr;
  delete menu;
  if (_optionsButton)
    _optionsButton->setIcon(QIcon(":/images/project_menu"));
  if (command)
    command();
}

// --- Applying ---

void PopupColorsScrollWidget::_applyValues(const Values &values)
{
  _setValues(values);
  emit schemeChanged(this, _values[0], _values[1], _values[2], _values[3], _values[4], _values[5], _values[6],
                     _values[7], _values[8]);
}

void PopupColorsScrollWidget::_applyBuiltInScheme(int index)
{
  if (index >= 0 && index < int(std::size(builtInValues)))
    _applyValues(builtInValues[index]);
}

void PopupColorsScrollWidget::_loadScheme(const QString &name)
{
  const QString path = _schemeFile(name);
  if (!QFileInfo(path).isFile())
    return;
  QSettings settings(path, QSettings::IniFormat);
  if (settings.value("version").toInt() != schemeVersion)
    return;
  Values values{};
  // Hand-edited files may hold anything; the corrections have a fixed range.
  for (int i = 0; i < correctionCount; ++i)
    values[size_t(i)] = qBound(-100, settings.value(schemeKeys[i], 0).toInt(), 100);
  _applyValues(values);
}

// --- Saving ---

void PopupColorsScrollWidget::_saveAsScheme()
{
  QInputDialog dialog(window());
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(tr("Save as Scheme"));
  dialog.setLabelText(tr("Enter scheme name"));
  dialog.setOkButtonText(tr("Save"));
  dialog.setCancelButtonText(tr("Cancel"));
  Util::applyDialogStyleSheet(&dialog);
  QPointer<PopupColorsScrollWidget> alive(this);
  if (DialogProvider::instance()->execDialog(&dialog) != QDialog::Accepted || !alive)
    return;
  QString name = dialog.textValue();
  for (QChar c : {QChar('/'), QChar('\\'), QChar(':')})
    name.replace(c, ' ');
  const bool saved = !name.isEmpty() && _saveScheme(name);
  emit needtoDisplayMessage(this, saved ? tr("Color scheme saved") : tr("Cannot save the color scheme"));
}

bool PopupColorsScrollWidget::_saveScheme(const QString &name)
{
  if (!QDir().mkpath(schemesFolder()))
    return false;
  // The INI text QSettings reads back. Written here rather than through QSettings, which
  // keeps a failed write pending in its cache and lets it land on a later access: a scheme
  // counts as saved only once it is whole on disk, and a failed one leaves no trace.
  QByteArray ini = "[General]\nversion=" + QByteArray::number(schemeVersion) + "\n";
  for (int i = 0; i < correctionCount; ++i)
    ini += QByteArray(schemeKeys[i]) + "=" + QByteArray::number(_values[size_t(i)]) + "\n";
  QSaveFile file(_schemeFile(name));
  if (!file.open(QIODevice::WriteOnly))
    return false;
  if (file.write(ini) != ini.size() || !file.flush() || file.error() != QFileDevice::NoError) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

// --- Managing ---

void PopupColorsScrollWidget::_enterManageMode()
{
  if (_managing)
    return;
  _deleteRows();
  deleteSoon(_optionsButton);
  _optionsButton = nullptr;
  _reloadUserSchemes();
  _createEditItems();
  _layoutEditItems();
  if (!_doneButton) {
    auto *done = new QPushButton(tr("Done"), _mainWidget);
    done->setFlat(true);
    done->setFixedHeight(30);
    done->setMaximumWidth(60);
    done->setStyleSheet("QPushButton {color: white; background-color: rgb(44,46,50); border: none;"
                        " border-radius: 5px;}"
                        "QPushButton:pressed {background-color: rgb(25,26,28);}");
    done->adjustSize();
    done->show();
    connect(done, &QPushButton::clicked, this, &PopupColorsScrollWidget::onDoneButtonPressed);
    _doneButton = done;
  }
  _placeButton(_doneButton);
  _managing = true;
}

void PopupColorsScrollWidget::_createEditItems()
{
  for (int i = 0; i < _userSchemes.size(); ++i) {
    auto *item = new PopupColorsScrollWidgetEditItemWidget(_userSchemes[i], _scrollAreaWidget);
    item->index = i;
    item->show();
    connect(item, &PopupColorsScrollWidgetEditItemWidget::deleteTriggered, this,
            &PopupColorsScrollWidget::onEditItemWidgetDeleteTriggered);
    _editItems.append(item);
  }
}

void PopupColorsScrollWidget::_deleteEditItems()
{
  for (PopupColorsScrollWidgetEditItemWidget *item : qAsConst(_editItems))
    deleteSoon(item);
  _editItems.clear();
}

void PopupColorsScrollWidget::_layoutEditItems()
{
  if (_editItems.isEmpty())
    return;
  const int w = _rowWidth();
  int y = _editItems.first()->y();
  for (PopupColorsScrollWidgetEditItemWidget *item : qAsConst(_editItems)) {
    item->setGeometry(0, y, w, editItemHeight);
    y += editItemHeight;
  }
  _setListHeight(y);
}

void PopupColorsScrollWidget::onEditItemWidgetDeleteTriggered(PopupColorsScrollWidgetEditItemWidget *itemWidget)
{
  if (itemWidget->index < 0 || itemWidget->index >= _userSchemes.size())
    return;
  const QString name = _userSchemes[itemWidget->index];
  QMessageBox box(QMessageBox::Warning, tr("Remove Scheme"),
                  tr("Do you really want to remove scheme \"%1\"?").arg(name), QMessageBox::NoButton, window());
  Util::applyDialogStyleSheet(&box);
  box.addButton(tr("Cancel"), QMessageBox::RejectRole);
  QPushButton *remove = box.addButton(tr("Remove"), QMessageBox::AcceptRole);
  QPointer<PopupColorsScrollWidget> alive(this);
  QAbstractButton *clicked = DialogProvider::instance()->execMessageBox(&box);
  if (!alive || clicked != remove)
    return;
  if (!QFile::remove(_schemeFile(name))) {
    emit needtoDisplayMessage(this, tr("Remove scheme failed"));
    return;
  }
  _reloadUserSchemes();
  QScrollBar *bar = _scrollArea->verticalScrollBar();
  const int scroll = bar->value();
  _deleteEditItems();
  _createEditItems();
  _layoutEditItems();
  bar->setValue(scroll);
}

void PopupColorsScrollWidget::onDoneButtonPressed()
{
  if (!_managing)
    return;
  _deleteEditItems();
  deleteSoon(_doneButton);
  _doneButton = nullptr;
  _createRows();
  _layoutRows(0);
  _createOptionsButton();
  _placeButton(_optionsButton);
  _managing = false;
}

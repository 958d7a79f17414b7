#include "projectfolderspopup.h"

#include "browserdialogs.h"
#include "projectmanager.h"

#include <QDir>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QPushButton *_flatButton(QWidget *parent, const char *name)
{
  auto *button = new QPushButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setFlat(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

} // namespace

ProjectFoldersPopup::ProjectFoldersPopup(QWidget *parent, int mode, const QString &currentFolder)
    : PopupWidget(parent), _mode(mode), _currentFolder(currentFolder)
{
  _buildForm();
  _operationButton->setText(_mode == 1 ? tr("Move") : tr("Copy"));
  QFont titleFont = _titleLabel->font();
  titleFont.setPointSize(titleFont.pointSize() + 1);
  titleFont.setWeight(75);
  _titleLabel->setFont(titleFont);
  // The title stays in place when the back button hides.
  QSizePolicy policy = _backButton->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  _backButton->setSizePolicy(policy);
  _listWidget->setIconSize(QSize(25, 25));
  QFont buttonFont = _cancelButton->font();
  buttonFont.setPointSize(buttonFont.pointSize() + 1);
  for (QPushButton *button : {_cancelButton, _newFolderButton, _operationButton})
    button->setFont(buttonFont);
  // The list has the focus; the popup's keys come before its own handling.
  _listWidget->installEventFilter(this);
  connect(_listWidget, &QListWidget::itemClicked, this, &ProjectFoldersPopup::onFolderItemClicked);
  connect(_backButton, &QPushButton::clicked, this, &ProjectFoldersPopup::on_backButton_clicked);
  connect(_cancelButton, &QPushButton::clicked, this, &ProjectFoldersPopup::on_cancelButton_clicked);
  connect(_newFolderButton, &QPushButton::clicked, this, &ProjectFoldersPopup::on_newFolderButton_clicked);
  connect(_operationButton, &QPushButton::clicked, this, &ProjectFoldersPopup::on_operationButton_clicked);
  setStyleSheet(QStringLiteral(
      "#mainWidget { background: rgb(31,32,35); color: white; border-radius: 5px; border: 1px solid rgb(64,64,64); }"
      "#titleLabel { color: white; }"
      "QListWidget { background: rgb(31,32,35); color: white; border: none; border-left: 1px solid rgb(64,64,64);"
      " border-right: 1px solid rgb(64,64,64); outline: none; }"
      "QListWidget::item { padding: 10px; padding-left: 10px; background: rgb(31,32,35); }"
      "QListWidget::item:selected { background: rgb(44,46,50); }"
      "#bottomBar { border-top: 0.5px solid rgb(64,64,64); }"
      "#titleBar QPushButton, #bottomBar QPushButton { color: white; background: transparent; }"
      "#titleBar QPushButton:hover, #bottomBar QPushButton:hover { background: rgb(44,46,50); border-radius: 5px; }"
      "#titleBar QPushButton:pressed, #bottomBar QPushButton:pressed { background: black; border-radius: 5px; }"
      "#titleBar QPushButton:disabled, #bottomBar QPushButton:disabled { color: rgb(64,64,64); }"));
  refreshFolderList();
  auto *shadow = new QGraphicsDropShadowEffect(_mainWidget);
  shadow->setBlurRadius(100);
  shadow->setOffset(0);
  shadow->setColor(QColor(0, 0, 0, 128));
  _mainWidget->setGraphicsEffect(shadow);
}

void ProjectFoldersPopup::_buildForm()
{
  setWindowTitle(tr("Form"));
  resize(687, 546);
  auto *outer = new QVBoxLayout(this);
  outer->addStretch();
  auto *row = new QHBoxLayout;
  row->addStretch();
  _mainWidget = new QWidget(this);
  _mainWidget->setObjectName(QStringLiteral("mainWidget"));
  _mainWidget->setAttribute(Qt::WA_StyledBackground);
  _mainWidget->setMinimumSize(500, 500);
  row->addWidget(_mainWidget);
  row->addStretch();
  outer->addLayout(row);
  outer->addStretch();

  auto *main = new QVBoxLayout(_mainWidget);
  main->setSpacing(0);
  main->setContentsMargins(0, 0, 0, 0);
  _titleBar = new QWidget(_mainWidget);
  _titleBar->setObjectName(QStringLiteral("titleBar"));
  _titleBar->setMinimumHeight(40);
  auto *title = new QHBoxLayout(_titleBar);
  title->setContentsMargins(12, 5, 12, 5);
  _backButton = _flatButton(_titleBar, "backButton");
  _backButton->setMinimumWidth(40);
  _backButton->setIcon(QIcon(QStringLiteral(":/images/navi_back_2")));
  _titleLabel = new QLabel(tr("Title"), _titleBar);
  _titleLabel->setObjectName(QStringLiteral("titleLabel"));
  _cancelButton = _flatButton(_titleBar, "cancelButton");
  _cancelButton->setText(tr("Cancel"));
  title->addWidget(_backButton);
  title->addStretch();
  title->addWidget(_titleLabel);
  title->addStretch();
  title->addWidget(_cancelButton);
  main->addWidget(_titleBar);

  _listWidget = new QListWidget(_mainWidget);
  _listWidget->setObjectName(QStringLiteral("listWidget"));
  main->addWidget(_listWidget);

  _bottomBar = new QWidget(_mainWidget);
  _bottomBar->setObjectName(QStringLiteral("bottomBar"));
  _bottomBar->setAttribute(Qt::WA_StyledBackground);
  _bottomBar->setMinimumHeight(40);
  auto *bottom = new QHBoxLayout(_bottomBar);
  bottom->setContentsMargins(12, 0, 12, 0);
  _newFolderButton = _flatButton(_bottomBar, "newFolderButton");
  _newFolderButton->setText(tr("New Folder"));
  _newFolderButton->setToolTip(tr("Create a new folder"));
  _operationButton = _flatButton(_bottomBar, "operationButton");
  _operationButton->setText(tr("Move"));
  bottom->addWidget(_newFolderButton);
  bottom->addStretch();
  bottom->addWidget(_operationButton);
  main->addWidget(_bottomBar);
}

QString ProjectFoldersPopup::_directory() const
{
  const QString projects = ProjectManager::projectsDirectory();
  if (projects.isEmpty() || _currentFolder.isEmpty())
    return projects;
  return projects + QDir::separator() + _currentFolder;
}

void ProjectFoldersPopup::refreshFolderList()
{
  _folderNames.clear();
  _listWidget->clear();
  const bool inFolder = !_currentFolder.isEmpty();
  const QString title = inFolder ? _currentFolder : tr("Movies");
  _newFolderButton->setEnabled(!inFolder);
  _backButton->setVisible(inFolder);
  _titleLabel->setText(_mode == 1 ? tr("Move to %1").arg(title) : tr("Copy to %1").arg(title));
  const QString directory = _directory();
  if (directory.isEmpty())
    return;
  const QFileInfoList entries = QDir(directory).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Time);
  for (const QFileInfo &entry : entries) {
    if (!QDir(entry.absoluteFilePath()).exists(QStringLiteral(".folder")))
      continue;
    _folderNames << entry.fileName();
    auto *item = new QListWidgetItem(QIcon(QStringLiteral(":/images/project_folder_small")), entry.fileName());
    item->setSizeHint(QSize(item->sizeHint().width(), 40));
    _listWidget->addItem(item);
  }
}

void ProjectFoldersPopup::onFolderItemClicked(QListWidgetItem *item)
{
  _currentFolder = item->text();
  refreshFolderList();
}

void ProjectFoldersPopup::on_backButton_clicked()
{
  _currentFolder.clear();
  refreshFolderList();
}

void ProjectFoldersPopup::on_cancelButton_clicked()
{
  emit didCancel();
}

void ProjectFoldersPopup::on_operationButton_clicked()
{
  emit didSelectFolder(_currentFolder);
}

void ProjectFoldersPopup::on_newFolderButton_clicked()
{
  _createFolder();
}

void ProjectFoldersPopup::_createFolder()
{
  QString typed = _pendingName;
  for (;;) {
    if (!BrowserDialogs::askText(this, tr("New Folder"), tr("Enter folder name"), tr("Create"), typed, &typed))
      break;
    QString name;
    if (!BrowserDialogs::checkedName(typed, &name)) {
      _pendingName = typed;
      BrowserDialogs::wrongName(this);
      continue;
    }
    QDir dir(_directory());
    if (_directory().isEmpty() || !dir.mkdir(name)) {
      _pendingName = name;
      if (!_directory().isEmpty() && dir.exists(name))
        BrowserDialogs::warning(this, tr("Rename Failed"), tr("An item with the name \"%1\" already exists").arg(name));
      else
        BrowserDialogs::warning(this, QString(), tr("New Folder Failed"));
      typed = name;
      continue;
    }
    QFile marker(dir.filePath(name) + QDir::separator() + QStringLiteral(".folder"));
    if (marker.open(QIODevice::WriteOnly)) {
      marker.close();
      QTimer::singleShot(200, this, &ProjectFoldersPopup::refreshFolderList);
    } else {
      BrowserDialogs::warning(this, QString(), tr("Create new folder exception occurs"));
    }
    break;
  }
  _pendingName.clear();
}

void ProjectFoldersPopup::keyPressEvent(QKeyEvent *event)
{
  QListWidgetItem *current = _listWidget->currentItem();
  switch (event->key()) {
  case Qt::Key_Left:
  case Qt::Key_Backspace:
  case Qt::Key_Back:
    _backButton->click();
    return;
  case Qt::Key_Escape:
    _cancelButton->click();
    return;
  case Qt::Key_Right:
    if (current)
      onFolderItemClicked(current);
    return;
  case Qt::Key_Return:
  case Qt::Key_Enter:
  case Qt::Key_Space:
    if (current)
      onFolderItemClicked(current);
    else
      _operationButton->click();
    return;
  default:
    PopupWidget::keyPressEvent(event);
  }
}

void ProjectFoldersPopup::showEvent(QShowEvent *event)
{
  PopupWidget::showEvent(event);
  _listWidget->setFocus();
  _listWidget->setCurrentItem(nullptr);
}

bool ProjectFoldersPopup::eventFilter(QObject *watched, QEvent *event)
{
  if (watched == _listWidget && event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Left:
    case Qt::Key_Backspace:
    case Qt::Key_Back:
    case Qt::Key_Escape:
    case Qt::Key_Right:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      keyPressEvent(static_cast<QKeyEvent *>(event));
      return true;
    default:
      return false;
    }
  }
  return PopupWidget::eventFilter(watched, event);
}

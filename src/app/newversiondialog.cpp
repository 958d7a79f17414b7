#include "newversiondialog.h"

#include "endpoints.h"
#include "util.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
QWidget *versionRow(QWidget *parent, const char *name, const char *layoutName, const char *labelName,
                    const QString &text, const char *valueName, const QString &value)
{
  auto *row = new QWidget(parent);
  row->setObjectName(name);
  auto *layout = new QHBoxLayout(row);
  layout->setObjectName(layoutName);
  layout->setSpacing(10);
  layout->setContentsMargins(-1, 0, -1, 0);
  auto *label = new QLabel(text, row);
  label->setObjectName(labelName);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto *valueLabel = new QLabel(value, row);
  valueLabel->setObjectName(valueName);
  valueLabel->setStyleSheet("color:white;");
  layout->addWidget(label);
  layout->addWidget(valueLabel);
  return row;
}

QPushButton *centredButton(QDialog *dialog, QVBoxLayout *layout, const char *name, const QString &text)
{
  auto *button = new QPushButton(text, dialog);
  button->setObjectName(name);
  button->setMinimumWidth(200);
  layout->addWidget(button, 0, Qt::AlignHCenter);
  return button;
}
} // namespace

NewVersionDialog::NewVersionDialog(const QString &latestVersion, const QString &downloadUrl, QWidget *parent)
    : QDialog(parent), _downloadUrl(downloadUrl)
{
  _buildForm(latestVersion);
}

void NewVersionDialog::_buildForm(const QString &latestVersion)
{
  setObjectName("NewVersionDialog");
  resize(341, 199);
  setWindowTitle(tr("New Version"));
  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout");
  layout->setContentsMargins(-1, -1, -1, 15);
  auto *label = new QLabel(tr("A new version of Tavo REN is available."), this);
  label->setObjectName("label");
  layout->addWidget(label);
  layout->addSpacerItem(new QSpacerItem(20, 20));
  layout->addWidget(versionRow(this, "widget", "horizontalLayout", "currentVersionLabel", tr("Current version"),
                               "currentVersionValueLabel", Util::appVersionString()));
  layout->addWidget(versionRow(this, "widget_2", "horizontalLayout_2", "newVersionLabel", tr("New version"),
                               "newVersionValueLabel", latestVersion));
  layout->addSpacerItem(new QSpacerItem(20, 69, QSizePolicy::Minimum, QSizePolicy::Expanding));
  QPushButton *download = centredButton(this, layout, "downloadButton", tr("Download new version"));
  QPushButton *whatsNew = centredButton(this, layout, "whatsNewButton", tr("See what's new"));

  setStyleSheet("QWidget{background-color: rgb(31,32,35); color: white;}"
                "QPushButton{color: white; background-color: transparent; border: 1px solid white;"
                " border-radius: 5px; padding: 5px 10px 5px 10px;}"
                "QPushButton:pressed{background-color: black; color: gray;}"
                "QLineEdit{color: white; background-color: rgb(44,45,46); padding: 0px 5px 0px 5px;"
                " border: none; border-radius: 5px;}"
                "QLabel{color: #c0c0c0;}");
  download->setStyleSheet("QPushButton{color: white; border: none; border-radius: 5px; padding: 5px 10px 5px 10px;"
                          " background-color: rgb(54, 200, 255);}"
                          "QPushButton:pressed{background-color: black; color: gray;}");
  connect(download, &QPushButton::clicked, this, &NewVersionDialog::onDownloadButtonPressed);
  connect(whatsNew, &QPushButton::clicked, this, &NewVersionDialog::onWhatsNewButtonPressed);
}

void NewVersionDialog::onDownloadButtonPressed()
{
  // The address comes from the network: never hand a local file or a custom handler to the desktop.
  const QUrl url(_downloadUrl);
  const QString scheme = url.scheme().toLower();
  const bool web = url.isValid() && !url.host().isEmpty() && (scheme == "http" || scheme == "https");
  Util::openUrl(web ? _downloadUrl : Endpoints::productSite());
}

void NewVersionDialog::onWhatsNewButtonPressed()
{
  Util::openUrl(Util::userHelpUrl("whats_new"));
}

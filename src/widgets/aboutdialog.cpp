#include "aboutdialog.h"

#include "dialogprovider.h"
#include "endpoints.h"
#include "util.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// A fixed-height picture label sized to its picture's aspect ratio.
QLabel *_pictureLabel(QWidget *parent, const char *name, const QString &resource, int height)
{
  auto *label = new QLabel(parent);
  label->setObjectName(name);
  label->setMinimumHeight(height);
  label->setMaximumHeight(height);
  label->setScaledContents(true);
  const QPixmap picture(resource);
  label->setPixmap(picture);
  if (!picture.isNull())
    label->setFixedSize(picture.width() * label->maximumHeight() / picture.height(), label->maximumHeight());
  return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
  setObjectName("AboutDialog");
  resize(400, 446);
  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout_2");

  _logoLabel = _pictureLabel(this, "logoLabel", ":/images/app_logo", 120);
  layout->addWidget(_logoLabel, 0, Qt::AlignHCenter);
  _textLogoLabel = _pictureLabel(this, "textLogoLabel", ":/images/app_text", 30);
  layout->addWidget(_textLogoLabel, 0, Qt::AlignHCenter);
  layout->addSpacerItem(new QSpacerItem(20, 5, QSizePolicy::Minimum, QSizePolicy::Fixed));

  _versionLabel = new QLabel(tr("Version") + " " + Util::appVersionString(), this);
  _versionLabel->setObjectName("versionLabel");
  _versionLabel->setAlignment(Qt::AlignCenter);
  layout->addWidget(_versionLabel);
  layout->addSpacerItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));

  auto *row = new QHBoxLayout;
  row->setObjectName("horizontalLayout");
  row->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  _homepageButton = new QPushButton(tr("Visit Website"), this);
  _homepageButton->setObjectName("homepageButton");
  _homepageButton->setFlat(true);
  row->addWidget(_homepageButton);
  row->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  layout->addLayout(row);

  _copyrightLabel = new QLabel(tr("Copyright \u00a9 2026 Tarnholm. All rights reserved."), this);
  _copyrightLabel->setObjectName("copyrightLabel");
  _noticeLabel = new QLabel(tr("Tavo REN is a trademark of Tarnholm."), this);
  _noticeLabel->setObjectName("noticeLabel");
  QFont small = _copyrightLabel->font();
  small.setPointSize(small.pointSize() - 1);
  for (QLabel *label : {_copyrightLabel, _noticeLabel}) {
    label->setFont(small);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    layout->addWidget(label);
  }

  setStyleSheet("QWidget { background-color: rgb(31,32,35); color: white; }"
                "QPushButton { color: white; background-color: transparent; border: 1px solid white;"
                " border-radius: 5px; padding: 5px 10px 5px 10px; }"
                "QPushButton:pressed { background-color: black; border-radius: 5px; color: gray; }");

  connect(_homepageButton, &QPushButton::clicked, this, &AboutDialog::onHomepageButtonClicked);
}

int AboutDialog::showModal(QWidget *parent)
{
  AboutDialog dialog(parent);
  dialog.setFixedSize(300, 340);
  dialog.setWindowFlags(dialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);
  return DialogProvider::instance()->execDialog(&dialog);
}

QString AboutDialog::homepageUrl()
{
  return Endpoints::productSite();
}

void AboutDialog::onHomepageButtonClicked()
{
  QDesktopServices::openUrl(QUrl(homepageUrl()));
}

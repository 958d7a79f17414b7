#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The small modal box of "About Tavo REN": logo, word mark, version, a button to the
// product's web site and two notice lines.
class AboutDialog : public QDialog
{
  Q_OBJECT
public:
  explicit AboutDialog(QWidget *parent = nullptr);

  // What the program's "About" commands run: the box with that parent, fixed 300 x 340,
  // without the context-help button, modal (through the dialog seam).
  static int showModal(QWidget *parent);

  // The product's web site (our default, or TAVO_PRODUCT_SITE).
  static QString homepageUrl();

public slots:
  void onHomepageButtonClicked();

private:
  QLabel *_logoLabel;
  QLabel *_textLogoLabel;
  QLabel *_versionLabel;
  QLabel *_copyrightLabel;
  QLabel *_noticeLabel;
  QPushButton *_homepageButton;
};

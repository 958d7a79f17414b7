#pragma once

#include <QDialog>

// Tells that a newer version exists and offers its download page and the "what's new" page.
class NewVersionDialog : public QDialog
{
  Q_OBJECT
public:
  NewVersionDialog(const QString &latestVersion, const QString &downloadUrl, QWidget *parent = nullptr);

public slots:
  void onDownloadButtonPressed();
  void onWhatsNewButtonPressed();

private:
  void _buildForm(const QString &latestVersion);

  QString _downloadUrl;
};

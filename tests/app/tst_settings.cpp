#include "testenv.h"
#include "usersettings.h"
#include "userstyledefaults.h"

#include <QDir>
#include <QSettings>

// Both stores are process-wide; the slots run in order and build on each other.
class TestSettings : public QObject
{
  Q_OBJECT

  static QString defaultWorkingDir() { return TestEnv::homePath() + "/Videos/Tavo REN"; }

  static QString iniText()
  {
    QFile file(QSettings().fileName());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

private slots:
  void initTestCase()
  {
    // The Movies folder itself is missing on a fresh account.
    QVERIFY(QDir(TestEnv::homePath() + "/Videos").removeRecursively());
    QVERIFY2(QSettings().fileName().startsWith(TestEnv::homePath() + "/config/Tarnholm/"),
             qPrintable(QSettings().fileName()));
  }

  void userSettingsFirstRun()
  {
    UserSettings *settings = UserSettings::instance();
    QCOMPARE(settings->photoDuration(), 2.0f);
    QCOMPARE(settings->textDuration(), 2.0f);
    QCOMPARE(settings->drawingDuration(), 2.0f);
    QVERIFY(settings->applyUserHabits());
    QVERIFY(settings->autoDragDropAlign());
    QCOMPARE(settings->editorUI(), 1);
    QVERIFY(settings->hardwareCodec());
    QVERIFY(!settings->autoCopyAssets());
    QCOMPARE(settings->workingDir(), defaultWorkingDir());
    QVERIFY(QFileInfo(defaultWorkingDir()).isDir());
    QVERIFY(!settings->isDirty());
    // The resolved folder is not written until something is saved.
    QVERIFY(!QSettings().contains("UserSettings/WorkingDir"));
  }

  void userSettingsNegatedFlags()
  {
    UserSettings *settings = UserSettings::instance();
    settings->setApplyUserHabits(false);
    settings->setAutoDragDropAlign(false);
    QVERIFY(settings->isDirty());
    settings->save();
    QVERIFY(!settings->isDirty());
    QSettings store;
    QCOMPARE(store.value("UserSettings/DontApplyUserHabits").toBool(), true);
    QCOMPARE(store.value("UserSettings/DontAutoDragDropAlign").toBool(), true);
    QCOMPARE(store.value("UserSettings/WorkingDir").toString(), defaultWorkingDir());
    settings->setApplyUserHabits(true);
    settings->save();
    QCOMPARE(QSettings().value("UserSettings/DontApplyUserHabits").toBool(), false);
  }

  void userSettingsSaveWithoutChangeWritesNothing()
  {
    QSettings().setValue("UserSettings/PhotoDuration", 7);
    UserSettings::instance()->save();
    QCOMPARE(QSettings().value("UserSettings/PhotoDuration").toInt(), 7);
    UserSettings::instance()->load();
    QCOMPARE(UserSettings::instance()->photoDuration(), 7.0f);
  }

  void userSettingsDeletedWorkingDirReplaced()
  {
    const QString gone = TestEnv::homePath() + "/projects-gone";
    QVERIFY(QDir().mkpath(gone));
    QSettings().setValue("UserSettings/WorkingDir", gone);
    UserSettings::instance()->load();
    QCOMPARE(UserSettings::instance()->workingDir(), gone);
    QVERIFY(QDir(gone).removeRecursively());
    UserSettings::instance()->load();
    QCOMPARE(UserSettings::instance()->workingDir(), defaultWorkingDir());
  }

  void userSettingsNumbersUnderDecimalComma()
  {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    UserSettings *settings = UserSettings::instance();
    settings->setPhotoDuration(2.5f);
    settings->setTextDuration(0.1f);
    settings->setDrawingDuration(12.25f);
    settings->setEditorUI(0);
    settings->setHardwareCodec(false);
    settings->setAutoCopyAssets(true);
    settings->save();
    const QString ini = iniText();
    QVERIFY2(ini.contains("PhotoDuration=2.5\n") && ini.contains("TextDuration=0.1\n"), qPrintable(ini));
    settings->setPhotoDuration(9);
    settings->load();
    QCOMPARE(settings->photoDuration(), 2.5f);
    QCOMPARE(settings->textDuration(), 0.1f);
    QCOMPARE(settings->drawingDuration(), 12.25f);
    QCOMPARE(settings->editorUI(), 0);
    QVERIFY(!settings->hardwareCodec());
    QVERIFY(settings->autoCopyAssets());
    QLocale::setDefault(previous);
  }

  void userSettingsWrongTypeReadsZero()
  {
    QSettings().setValue("UserSettings/TextDuration", "abc");
    UserSettings::instance()->load();
    QCOMPARE(UserSettings::instance()->textDuration(), 0.0f);
  }

  void styleDefaultsFirstRun()
  {
    UserStyleDefaults *style = UserStyleDefaults::instance();
    QCOMPARE(style->textColor(), QRgb(0xFFFFFFFF));
    QCOMPARE(style->textFont(), QString("Arial"));
    QCOMPARE(style->textStyle(), QString());
    QCOMPARE(style->textSize(), 80.0f);
    QCOMPARE(style->textVideoSize(), QSizeF(0, 0));
    QCOMPARE(style->textBorderSize(), 0.0f);
    QCOMPARE(style->textBorderColor(), QRgb(0xFFFFFF00));
    QCOMPARE(style->textShadowOpacity(), 0.0f);
    QCOMPARE(style->textShadowRadiusFraction(), 0.003125f);
    QCOMPARE(style->textShadowColor(), QRgb(0xFF000000));
    QCOMPARE(style->textAlignment(), 1);
    QCOMPARE(style->textBackColor(), QRgb(0x00FF00FF));
    QCOMPARE(style->imageBorderColor(), QRgb(0xFFFFFFFF));
    QVERIFY(!style->imageBorderStroke());
    QCOMPARE(style->movieShadowRadiusFraction(), 0.003125f);
    QCOMPARE(style->chromaKeyColor(), QRgb(0xFF00FF00));
    QCOMPARE(style->chromaKeySensitivity(), 40);
    QCOMPARE(style->chromaKeySmoothing(), 10);
    QCOMPARE(style->borderStrokeTolerance(), 100);
    QCOMPARE(style->borderStrokeStrength(), 50);
    QVERIFY(!style->isDirty());
    style->save();
    QSettings store;
    store.beginGroup("User");
    QVERIFY(store.childKeys().isEmpty());
  }

  void styleDefaultsZeroFractionClearsAbsolute()
  {
    UserStyleDefaults::reset();
    QSettings().setValue("User/DrawingBorderSize", 5);
    QSettings().setValue("User/ImageCornerRadius", 3);
    UserStyleDefaults *style = UserStyleDefaults::instance();
    QCOMPARE(style->drawingBorderSize(), 5.0f);
    style->setDrawingBorderSizeFraction(0);
    style->setImageCornerRadiusFraction(0.01f);
    QCOMPARE(style->drawingBorderSize(), 0.0f);
    QCOMPARE(style->imageCornerRadius(), 3.0f);
    style->save();
    // Flushed at once: another reader of the file sees it.
    QSettings file(QSettings().fileName(), QSettings::IniFormat);
    QCOMPARE(file.value("User/DrawingBorderSize").toFloat(), 0.0f);
    QCOMPARE(file.value("User/ImageCornerRadius").toFloat(), 3.0f);
    QCOMPARE(file.value("User/ImageCornerRadiusFraction").toFloat(), 0.01f);
    QCOMPARE(file.allKeys().filter(QRegularExpression("^User/")).size(), int(UserStyleDefaults::FieldCount));
  }

  void styleDefaultsRoundTrip()
  {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    UserStyleDefaults *style = UserStyleDefaults::instance();
    style->setTextSize(42.5f, QSizeF(1920, 1080));
    style->setTextFont("DejaVu Sans", "Bold");
    style->setTextColor(0x80123456);
    style->setTextShadowOffsetFraction(QSizeF(0.25, -0.125));
    style->setMovieBorderStroke(true);
    style->setChromaKeyColor(0xFF0000FF);
    style->setBorderStrokeStrength(7);
    style->setTextBackColor(0x00ABCDEF);
    style->save();
    QVERIFY(!style->isDirty());
    QCOMPARE(QSettings().value("User/TextColor").toInt(), int(0x80123456));
    QVERIFY2(iniText().contains("TextSize=42.5\n"), qPrintable(iniText()));

    style->setTextSize(1, QSizeF());
    style->load();
    QCOMPARE(style->textSize(), 42.5f);
    QCOMPARE(style->textVideoSize(), QSizeF(1920, 1080));
    QCOMPARE(style->textFont(), QString("DejaVu Sans"));
    QCOMPARE(style->textStyle(), QString("Bold"));
    QCOMPARE(style->textColor(), QRgb(0x80123456));
    QCOMPARE(style->textShadowOffsetFraction(), QSizeF(0.25, -0.125));
    QVERIFY(style->movieBorderStroke());
    QCOMPARE(style->chromaKeyColor(), QRgb(0xFF0000FF));
    QCOMPARE(style->borderStrokeStrength(), 7);
    QCOMPARE(style->textBackColor(), QRgb(0x00ABCDEF));
    QLocale::setDefault(previous);
  }

  void styleDefaultsResetEmptiesGroup()
  {
    UserStyleDefaults::instance()->setTextAlignment(2); // unsaved: lost by the reset
    UserStyleDefaults::reset();
    QSettings store;
    store.beginGroup("User");
    QVERIFY2(store.childKeys().isEmpty(), qPrintable(store.childKeys().join(',')));
    store.endGroup();
    UserStyleDefaults *style = UserStyleDefaults::instance();
    QCOMPARE(style->textAlignment(), 1);
    QCOMPARE(style->textFont(), QString("Arial"));
    QCOMPARE(style->textColor(), QRgb(0xFFFFFFFF));
    QVERIFY(!style->isDirty());
    // Other groups are left alone.
    QVERIFY(store.contains("UserSettings/PhotoDuration"));
  }
};

TAVO_TEST_CORE_MAIN(TestSettings)
#include "tst_settings.moc"

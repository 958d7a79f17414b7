#pragma once

#include <QVariant>

// A float as the settings store should hold it: the shortest decimal that reads back as
// the same float, as a plain number (written with a point, whatever the user's locale).
// Qt would otherwise store a float as an unreadable binary blob.
QVariant floatSettingValue(float value);

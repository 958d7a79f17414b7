#pragma once

#include <QProxyStyle>

// A left click moves a slider straight to the clicked position.
class SeekableSliderStyle : public QProxyStyle
{
  Q_OBJECT
public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                QStyleHintReturn *returnData = nullptr) const override;
};

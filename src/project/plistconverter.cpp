#include "plistconverter.h"

#include "keyedarchiveconverter.h"

int convertProjectPlist(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                        int errorTextLength)
{
  KeyedArchiveConverter converter;
  return converter.convertProject(inputPath, outputPath, errorText, errorTextLength);
}

int convertPropertiesPlist(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                           int errorTextLength)
{
  KeyedArchiveConverter converter;
  return converter.convertProperties(inputPath, outputPath, errorText, errorTextLength);
}

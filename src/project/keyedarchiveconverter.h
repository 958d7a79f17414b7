#pragma once
// Converts the keyed-archive property lists of older projects ("project.plist",
// "properties.plist") into the XML files the rest of the program reads. The text is built
// in memory and installed by rename, so a failure never leaves a partial file.

#include "plist.h"

#include <iosfwd>
#include <string>

class KeyedArchiveConverter
{
public:
  // 0 on success; 1 on failure with the error text copied into the buffer (truncated to
  // the buffer, always NUL-terminated). Paths are NUL-terminated UTF-16.
  int convertProject(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                     int errorTextLength);
  int convertProperties(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                        int errorTextLength);
};

namespace KeyedArchive {

// Output above this size ends the conversion with an error.
constexpr int64_t kMaxOutputBytes = 64 * 1024 * 1024;

int writeProjectXml(const std::u16string &inputPath, const std::u16string &outputPath,
                    std::string &errorText);
int writePropertiesXml(const std::u16string &inputPath, const std::u16string &outputPath,
                       std::string &errorText);

// The file texts for an archive already read; they throw on a broken archive.
std::string projectXml(const Plist::Dictionary &archive);
std::string propertiesXml(const Plist::Dictionary &archive);

void writeSegmentElement(const Plist::Array &objects, Plist::Uid uid, std::ostream &out);
void writeTransitionElement(const Plist::Array &objects, Plist::Uid uid, std::ostream &out);
void writeTransitionEndElement(const Plist::Array &objects, Plist::Uid uid, std::ostream &out,
                               bool begin);
// Writes the quoted attribute value; writes nothing for kinds that have no text form.
void writeArchivedValue(const Plist::Value &value, const std::string &name, std::ostream &out,
                        const Plist::Array &objects);

std::string &replaceAll(std::string &text, const std::string &from, const std::string &to);
std::string percentDecode(const std::string &text);

// Helpers for a well-formed output: is the text an XML name without a colon; the text with
// characters XML cannot hold dropped and invalid UTF-8 replaced by U+FFFD; the attribute
// value escaped (CR and TAB as references so they survive reading back).
bool isXmlName(const std::string &name);
std::string xmlSafeText(const std::string &text);
std::string escapeAttribute(std::string text);

} // namespace KeyedArchive

#pragma once
// The project loader's entries for converting keyed-archive property lists of older
// projects into "project.xml" / "properties.xml". Paths are NUL-terminated UTF-16; the
// result is 0 on success or 1 with the error text copied into the buffer (bounded by its
// length, always NUL-terminated; untouched on success).

int convertProjectPlist(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                        int errorTextLength);
int convertPropertiesPlist(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                           int errorTextLength);

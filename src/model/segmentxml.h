#pragma once

class PropertyMap;
class QXmlStreamReader;
class QXmlStreamWriter;

// One "Segment" element: every text of the bag as an attribute, the transition list as
// Transitions/Transition/TBegin/TEnd children. Attributes are written in name order so that
// a file saved twice is byte-identical.
void writeSegmentXml(const PropertyMap &properties, QXmlStreamWriter &writer);

// Reads the "Segment" element the reader stands on into properties (normally empty). Unknown
// child elements are passed over, but transition elements inside them still count.
// Returns 0, or the reader's error code (a QXmlStreamReader::Error) after a logged warning.
int readSegmentXml(PropertyMap &properties, QXmlStreamReader &reader);

// Sets written to what readSegmentXml gives back from the element writeSegmentXml writes for
// properties, sharing its texts; false when a text would not read back as it is (a character
// XML cannot carry, a name with a prefix).
bool writtenSegmentProperties(const PropertyMap &properties, PropertyMap *written);
// True when written, which writtenSegmentProperties set from properties, still shares every
// text table it holds with them: nothing it holds has changed since, so it is what that would
// set now. No text is compared.
bool isWrittenFrom(const PropertyMap &written, const PropertyMap &properties);

#pragma once

class Segment;
class TextSegment;
class UserStyleDefaults;

// Fills a new segment with the style the user chose last for its kind. The store sits
// below the model, so these live here rather than on it.
namespace UserStyleApply {

void applyImageStyle(const UserStyleDefaults &defaults, Segment &segment);
void applyDrawingStyle(const UserStyleDefaults &defaults, Segment &segment);
// Fractions only: a movie's pixel sizes depend on its frame.
void applyMovieStyle(const UserStyleDefaults &defaults, Segment &segment);
void applyTextStyle(const UserStyleDefaults &defaults, TextSegment &segment);

} // namespace UserStyleApply

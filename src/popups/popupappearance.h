#pragma once

class QWidget;

// How the export and project settings popups come over their parent in 200 ms; both show
// the popup at once, in place, while widget animations are off.
namespace PopupAppearance {

void fadeIn(QWidget *popup);
// From just below the parent up to its top-left corner (a bottom sheet).
void slideUp(QWidget *popup);

} // namespace PopupAppearance

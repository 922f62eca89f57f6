#pragma once

#include <cstdint>

class QWidget;

namespace scenova::qt {

// Makes the button bars and the transcript known to screen readers: each
// button with its tooltip (or its name) and a press action, each transcript
// line with its speaker and text, the lines of the current block as
// selected. Safe to call more than once.
void InstallAccessibility();

// Tells a screen reader that the keyboard moved to a transcript line, or
// that lines of a range changed their highlight (nothing when none listens).
void AnnounceFocusedLine(QWidget* transcript, int32_t link);
// Tells a screen reader that the keyboard moved to a bar's button (its
// index among the buttons not hidden).
void AnnounceFocusedButton(QWidget* bar, int index);
void AnnounceHighlight(QWidget* transcript, int32_t firstLink, int32_t lastLink);

}  // namespace scenova::qt

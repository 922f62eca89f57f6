#pragma once

#include <cstdint>

class QWidget;

namespace scenova::qt {

// Makes the button bars and the transcript known to screen readers: each
// button with its tooltip (or its name) and a press action, each transcript
// line with its speaker and text, the lines of the current block as
// selected. Safe to call more than once.
void InstallAccessibility();

// Tells a screen reader that the keyboard moved to a part of a control: a
// transcript's line, a bar's button (its index among the buttons not
// hidden). Nothing when none listens.
void AnnounceFocusedChild(QWidget* parent, int index);
void AnnounceHighlight(QWidget* transcript, int32_t firstLink, int32_t lastLink);

}  // namespace scenova::qt

#pragma once

#include "link/FixedText.h"

#include <QString>

// The message shown when a typed text cannot be stored in its field, in the window's
// language. `field` is the caption of the field as the window shows it (a trailing colon
// is left out); empty for a text that was stored.
QString FixedTextRefusal(FixedTextResult result, const QString& field, int languageIndex);

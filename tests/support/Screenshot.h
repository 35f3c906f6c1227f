#pragma once

#include <QString>

class QWidget;

// Where window pictures go: $TARNVIK_SCREENSHOT_DIR (scripts/screenshots.sh points it at
// docs/screenshots), else a folder in the build tree.
QString ScreenshotDir();

// The language suffix of a picture's name, by language index.
QString LanguageSuffix(int languageIndex);

// Shows the widget, saves it as <name>.png and checks that something was painted.
void SaveScreenshot(QWidget& widget, const QString& name);

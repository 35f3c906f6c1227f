#pragma once

class QAbstractButton;
class QWidget;

// Gives a window the program's look: the Western window font, and group boxes whose title
// sits on the frame line, as the absolute control positions expect.
void ApplyWindowLook(QWidget* window);

// Makes a button's font smaller, a pixel at a time down to 8 pixels, until its text fits the
// button's fixed width ("Configuration Page" in a 97-pixel button).
void FitButtonText(QAbstractButton* button);

#pragma once

class QWidget;

// Gives a window the program's look: the Western window font, and group boxes whose title
// sits on the frame line, as the absolute control positions expect.
void ApplyWindowLook(QWidget* window);

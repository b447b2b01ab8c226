// Input for the Qt tests as a user makes it: the application they need, and typing.
#pragma once

#include <QString>

class QWidget;

// Creates the one QApplication of the test program on first use.
void EnsureTestApplication();

// Types text into widget one character at a time: ASCII as key presses, anything
// else as an input method commits it (a Japanese keyboard sends kana and kanji so).
void TypeCharacters(QWidget* widget, const QString& text);

// Typing in the Qt tests as a user types.
#pragma once

#include <QString>

class QWidget;

// Types text into widget one character at a time: ASCII as key presses, anything
// else as an input method commits it (a Japanese keyboard sends kana and kanji so).
void TypeCharacters(QWidget* widget, const QString& text);

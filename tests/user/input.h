// Real input for the user-level tests: key presses, typed text and mouse
// clicks sent with SendInput, exactly as a keyboard and a mouse send them.
// They reach whichever window is in the foreground.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// Presses the keys in order and releases them in reverse: {VK_CONTROL, 'S'}.
void PressKeys(std::initializer_list<WORD> keys);
// Presses and releases one key, the given number of times.
void Tap(WORD key, int times = 1);
// Types the text key by key; a line feed is the Enter key. Characters that
// the keyboard layout has no key for are typed as Unicode packets, as an
// on-screen keyboard types them.
void TypeText(const std::wstring& text);
// Moves the mouse to a point on the screen and clicks the left button.
void ClickAt(POINT screenPoint);

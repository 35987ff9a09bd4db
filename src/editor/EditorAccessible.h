// The editor control as an assistive technology (a screen reader) sees it: an
// editable multi-line text whose offsets are characters (UTF-16 code units,
// as Qt's other text widgets count them), with the text, the caret, the
// selection, the character, word and line at an offset, and the events of
// text put in, taken out and of the caret moving.
//
// Scintilla works in byte positions. The interface turns them into characters
// with a TCharacterIndex that it keeps up to date from the control's
// modification notifications (SCN_MODIFIED), recounting only the lines a
// change touched; so a keystroke costs the same at the end of a large text as
// at its start, where counting from the start of the text to the change would
// cost the whole text each time. The index is built when the interface is
// first asked for, which Qt does only for an assistive technology or a test.
#pragma once

// Has Qt describe every control of the class `className`, a TScintillaControl,
// with this interface (QAccessible::installFactory); once for each class.
void InstallEditorAccessible(const char* className);

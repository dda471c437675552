#pragma once

// The windows ask for "MS Sans Serif" and "Comic Sans MS"; where those are not installed, free
// look-alikes stand in. Call once, before the first window is built.
void registerFontSubstitutes();

#pragma once
// The mouse cursor position in screen twips.
void GetCursorPosTwips(int& x, int& y);

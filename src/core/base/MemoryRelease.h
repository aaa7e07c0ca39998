#pragma once
// In the window, every repaint of the main window is composed with the
// browser's picture on the graphics path: the window's image (about 7 MB at
// 1728 × 972) is copied and the browser's (about 4.5 MB) uploaded, several
// times a page. glibc's allocator takes blocks that large straight from the
// system, but each time one of them is freed it raises that threshold to the
// block's size; after the first window-sized copy the browser-sized blocks
// come from the heap instead, where the grid's cells, allocated meanwhile,
// pin them: the program's memory grows by a browser picture every few pages
// while what it uses stays flat. Fixing the threshold keeps such blocks off
// the heap. Elsewhere it does nothing.

// Large blocks (from 1 MiB) always come from the system and go back to it
// when freed. Called once, before the program allocates much.
void KeepLargeBlocksOffTheHeap();

// Whether KeepLargeBlocksOffTheHeap can take effect here (glibc's own
// allocator, not a sanitizer's).
bool LargeBlocksKeptOffTheHeap();

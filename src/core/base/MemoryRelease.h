#pragma once
// A long walk allocates large texts for every page (the list table, the
// page body, the recovery file's bytes, which grow with the grid) and frees
// them soon after. glibc's allocator raises its threshold for taking such
// blocks straight from the system each time one of them is freed, so after
// a few pages they come from the heap instead, and the heap keeps what is
// freed in pieces too scattered to give back: the program's memory grows
// page by page while what it uses stays flat. These two calls keep large
// blocks apart from the heap and hand freed memory back. Elsewhere they do
// nothing.

// Large blocks (from 256 KiB) always come from the system and go back to
// it when freed; the heap's free top is given back from 1 MiB. Called once,
// before the program allocates much.
void KeepLargeBlocksOffTheHeap();

// Gives the memory the allocator holds free back to the system; called
// after each list page of a walk (a few milliseconds beside a page's second).
void ReleaseFreedMemory();

#pragma once
// Ways of waiting on the user-interface thread without freezing it.

// Lets pending events run 2 × (count + 1) times; a negative count does
// nothing. Used at fixed points of long operations.
void PumpEvents(int count);

// Waits until the wall clock, read to the whole second, reaches now + seconds,
// running the event loop meanwhile (so it ends at a change of the second,
// after at least one pass of pending events). Sleeps in the event loop rather
// than polling, so it costs next to no CPU.
void WaitSeconds(int seconds);

// Runs the event loop until done() returns true or timeoutMs have passed,
// checking done() whenever an event was handled and at least every
// pollMs. Returns done()'s last answer. Never spins.
#include <functional>
bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 50);

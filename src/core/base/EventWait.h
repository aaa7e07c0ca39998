#pragma once
// Ways of waiting on the user-interface thread without freezing it.

#include <QtGlobal>
#include <functional>

// Lets pending events run 2 × (count + 1) times; a negative count does
// nothing. Used at fixed points of long operations.
void PumpEvents(int count);

// How many PumpEvents counts the first pass of WaitSeconds runs.
inline constexpr int kWaitPassPumps = 1000;

// Waits until the wall clock, read to the whole second, reaches now + seconds
// (so a wait of one second ends at the next change of the second). It first
// makes one pass of PumpEvents(kWaitPassPumps), even for 0 or fewer seconds,
// then sleeps in the event loop, running events as they come, rather than
// polling: it costs next to no CPU. Returns early when the application is
// quitting.
void WaitSeconds(int seconds);
// The same wait up to a second read earlier: WaitSeconds(n) is
// WaitUntilSecond(CurrentSecond() + n).
void WaitUntilSecond(qint64 endSecond);
// The wall clock in whole seconds since the epoch.
qint64 CurrentSecond();

// Runs the event loop until done() returns true or timeoutMs have passed,
// checking done() every pollMs. Returns done()'s last answer. Never spins; returns early when the
// application is quitting.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs, int pollMs = 50);

#pragma once
// Lets a command wait until the page a click started loading has arrived.
// The browser implements it from its load notifications.

class PageLoadWatch {
public:
    virtual ~PageLoadWatch() = default;
    // Marks the moment before an action that may start loading a page.
    virtual void Arm() = 0;
    // Waits (the window stays live) until a load that started after Arm()
    // has finished, at most timeoutMs. True when it has.
    virtual bool WaitLoaded(int timeoutMs) = 0;
    // The latest load ended without its page: the network or the server
    // failed (no answer, a reset, a server error), as opposed to a page
    // that arrived, whatever it shows.
    virtual bool LastLoadFailed() const { return false; }
    // Loads the page that failed once more.
    virtual void RetryLoad() { }
};

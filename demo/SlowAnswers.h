#pragma once
// Detail-page answers of a host that misbehaves without failing: one that
// accepts the connection and never says a word, and one that sends its page
// one byte a second. A request number chooses which requests do so.

#include "HttpMessage.h"

namespace demo {

struct SlowAnswerOptions {
    qint64 silentAfter = -1; // detail requests answered before the host falls silent; -1 never
    qint64 trickleRequest = -1; // the detail request whose page trickles; -1 none
};

// Turns reply, the answer to detail request requestNumber, into a silent or
// trickling one where the options say so.
void MakeSlow(const SlowAnswerOptions& options, quint64 requestNumber, HttpReply& reply);

} // namespace demo

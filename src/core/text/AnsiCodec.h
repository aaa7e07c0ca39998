#pragma once
// The system's ANSI code page is GBK. GB18030 is its superset: every GBK
// character gets its GBK bytes, and characters outside GBK still round-trip.
// The one place where the Windows form of GBK (code page 936) and GB18030
// part ways is the euro sign: a single byte 0x80 there, two bytes in
// GB18030. We write and read 0x80, so files open correctly on the target
// systems, and still read GB18030's two-byte form.
//
// The conversion goes through ICU's converter on every platform, never
// through Qt's codecs (which have GB18030 only where Qt was built with ICU)
// and never through the local 8-bit code page.

#include "core/base/Done.h"

#include <QByteArray>
#include <QString>

// Whether the GB18030 converter can be opened. The program checks this once
// at start-up and refuses to run without it, since every page and export
// goes through here.
Done AnsiCodecReady();

// Bytes that are not valid GBK/GB18030 become U+FFFD, one per bad sequence.
// Without a converter (AnsiCodecReady not ready) both return an empty result
// and log it once, rather than guessing another code page.
QString DecodeAnsi(const QByteArray& bytes);
QByteArray EncodeAnsi(const QString& text);

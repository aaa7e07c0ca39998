#pragma once
// The system's ANSI code page is GBK. GB18030 is its superset: every GBK
// character gets its GBK bytes, and characters outside GBK still round-trip.
// The one place where the Windows form of GBK (code page 936) and GB18030
// part ways is the euro sign: a single byte 0x80 there, two bytes in
// GB18030. We write and read 0x80, so files open correctly on the target
// systems, and still read GB18030's two-byte form.

#include <QByteArray>
#include <QString>

// Bytes that are not valid GBK/GB18030 become U+FFFD, one per bad sequence.
QString DecodeAnsi(const QByteArray& bytes);
QByteArray EncodeAnsi(const QString& text);

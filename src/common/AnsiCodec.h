#pragma once
// The system's ANSI code page is GBK. GB18030 is its superset: every GBK
// character gets its GBK bytes, and characters outside GBK still round-trip.

#include <QByteArray>
#include <QString>

QString DecodeAnsi(const QByteArray& bytes);
QByteArray EncodeAnsi(const QString& text);

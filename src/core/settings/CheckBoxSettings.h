#pragma once
// The check boxes' persisted values: "CHK_<index>" holding "0" or "1".

#include <QString>
#include <optional>

QString CheckBoxKey(int index);
// The box value a stored text asks for: the text's integer value (a decimal
// number is rounded) when it is 0 or 1; nothing when the text is no such
// number, so the box keeps its state.
std::optional<int> CheckBoxValueFromText(const QString& text);

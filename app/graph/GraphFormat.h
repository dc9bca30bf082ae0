#pragma once

#include <QString>

namespace tarnwick {

// Value texts of the graph: "%*.*f " with width 8 when several laps are shown (else 0)
// and max(2 - trunc(log10|v|), 0) decimals (1 for 0, at most 15). Values that are not
// finite read "nan" or "inf".
QString GraphValueText(double value, int bufferCount);
// "%d "; the values 32767 and -32768 give an empty text.
QString GraphIntText(int value);
// "(%s, %s)".
QString GraphPairText(const QString& x, const QString& y);
// "D: %s (%s, %s)".
QString GraphCursorText(const QString& distance, const QString& x, const QString& y);
// Decimals of a value text.
int GraphDecimals(double value);

}  // namespace tarnwick

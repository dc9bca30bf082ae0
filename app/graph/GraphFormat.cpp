#include "app/graph/GraphFormat.h"

#include <cmath>

namespace tarnwick {

int GraphDecimals(double value) {
    if (value == 0.0 || !std::isfinite(value)) return 1;
    const double digits = std::trunc(std::log10(std::fabs(value)));
    const double decimals = 2.0 - digits;
    if (decimals <= 0.0) return 0;
    return decimals >= 15.0 ? 15 : static_cast<int>(decimals);
}

QString GraphValueText(double value, int bufferCount) {
    const int width = bufferCount >= 2 ? 8 : 0;
    if (std::isnan(value)) return QStringLiteral("%1 ").arg(QStringLiteral("nan"), width);
    if (std::isinf(value))
        return QStringLiteral("%1 ").arg(value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf"),
                                         width);
    return QString::asprintf("%*.*f ", width, GraphDecimals(value), value);
}

QString GraphIntText(int value) {
    if (value == 32767 || value == -32768) return QString();
    return QString::asprintf("%d ", value);
}

QString GraphPairText(const QString& x, const QString& y) {
    return QStringLiteral("(%1, %2)").arg(x, y);
}

QString GraphCursorText(const QString& distance, const QString& x, const QString& y) {
    return QStringLiteral("D: %1 (%2, %3)").arg(distance, x, y);
}

}  // namespace tarnwick

#pragma once

// Pieces the setup dialogs are made of: sliders and value texts named by their
// control ids, and the car model's predictions as the dialogs write them.

#include <QLabel>
#include <QSlider>
#include <QString>
#include <cmath>
#include <string>

#include "pellith/setup/SetupSheet.h"

namespace tarnwick::setupui {

inline QSlider* MakeSlider(int id, int minimum, int maximum, int page, Qt::Orientation orientation,
                           QWidget* parent) {
    auto* slider = new QSlider(orientation, parent);
    slider->setObjectName(QString::number(id));
    slider->setRange(minimum, maximum);
    slider->setPageStep(page);
    slider->setSingleStep(1);
    return slider;
}

inline QLabel* MakeText(int id, QWidget* parent, int minimumWidth = 70) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::number(id));
    label->setMinimumWidth(minimumWidth);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

inline QString FindText(const QObject& dialog, int id) {
    const auto* label = dialog.findChild<QLabel*>(QString::number(id));
    return label != nullptr ? label->text() : QString();
}

inline QSlider* FindSlider(const QObject& dialog, int id) {
    return dialog.findChild<QSlider*>(QString::number(id));
}

// A predicted value of the sheet's row with that label (NaN when there is none).
inline double Prediction(const pellith::SetupSheet& sheet, const std::string& label,
                         std::size_t index = 0) {
    for (const pellith::SetupSheetRow& row : sheet.predictions)
        if (row.label == label && index < row.values.size()) return row.values[index];
    return std::nan("");
}

// A speed in the dialog's format; a dash where the model has no value.
inline QString SpeedText(double kmh, const char* format) {
    return std::isnan(kmh) ? QStringLiteral("\u2014") : QString::asprintf(format, kmh);
}

}  // namespace tarnwick::setupui

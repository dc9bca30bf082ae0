#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace tarnwick {

// Edits a formula channel: names, kind, quantity, display range, unit factor
// and the expression. The caller fills the fields, runs the dialog and reads
// them back after OK. A maximum that is not above the minimum, or a number
// that does not read as one, is refused and the dialog stays open.
class CCustomItemDlg : public QDialog {
    Q_OBJECT
public:
    // Control ids, also the controls' object names.
    static constexpr int IDC_EXPRESSION = 1160;
    static constexpr int IDC_NAME = 1161;
    static constexpr int IDC_SHORTNAME = 1162;
    static constexpr int IDC_TYPE = 1163;
    static constexpr int IDC_QUANTITY = 1164;
    static constexpr int IDC_FACTOR = 1165;
    static constexpr int IDC_MINIMUM = 1166;
    static constexpr int IDC_MAXIMUM = 1167;

    explicit CCustomItemDlg(QWidget* parent = nullptr);

    QString name;
    QString shortName;
    int type = -1;      // 0 "Wheel specific", 1 "Car"
    int quantity = -1;  // list index: 0 is the empty entry, k + 1 stands for quantity k
    double factor = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
    QString formula;

    // Fields to controls; runs when the dialog is shown.
    void UpdateControls();
    // Controls to fields, checking the numbers; false (with a message, focus on
    // the control at fault) when they are refused.
    bool UpdateData();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_name;
    QLineEdit* m_shortName;
    QComboBox* m_type;
    QLineEdit* m_minimum;
    QLineEdit* m_maximum;
    QComboBox* m_quantity;
    QLineEdit* m_factor;
    QPlainTextEdit* m_formula;
};

}  // namespace tarnwick

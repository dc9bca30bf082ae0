#include "app/shell/CustomItemDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <optional>

#include "morlund/platform/MessageSink.h"

namespace tarnwick {

namespace {

const char* const kQuantities[] = {"",
                                   "0 Length",
                                   "1 Time",
                                   "2 Mass",
                                   "3 Velocity",
                                   "4 Acceleration",
                                   "5 Angle",
                                   "6 Angular Velocity",
                                   "7 Angular Acceleration",
                                   "8 Force",
                                   "9 Energy",
                                   "10 Power",
                                   "11 Torque",
                                   "12 Factor",
                                   "13 Selection",
                                   "14 Spring Constant"};

QString Id(int id) { return QString::number(id); }

// Numbers are written with a point, as in the definition files; the user's own
// decimal separator is accepted too.
std::optional<double> ReadNumber(const QString& text) {
    bool ok = false;
    const QString trimmed = text.trimmed();
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok) value = QLocale().toDouble(trimmed, &ok);
    if (!ok) return std::nullopt;
    return value;
}

QString WriteNumber(double value) { return QString::number(value, 'g', 15); }

}  // namespace

CCustomItemDlg::CCustomItemDlg(QWidget* parent)
    : QDialog(parent),
      m_name(new QLineEdit(this)),
      m_shortName(new QLineEdit(this)),
      m_type(new QComboBox(this)),
      m_minimum(new QLineEdit(this)),
      m_maximum(new QLineEdit(this)),
      m_quantity(new QComboBox(this)),
      m_factor(new QLineEdit(this)),
      m_formula(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Custom Data Item"));
    m_formula->setObjectName(Id(IDC_EXPRESSION));
    m_name->setObjectName(Id(IDC_NAME));
    m_shortName->setObjectName(Id(IDC_SHORTNAME));
    m_type->setObjectName(Id(IDC_TYPE));
    m_quantity->setObjectName(Id(IDC_QUANTITY));
    m_factor->setObjectName(Id(IDC_FACTOR));
    m_minimum->setObjectName(Id(IDC_MINIMUM));
    m_maximum->setObjectName(Id(IDC_MAXIMUM));

    m_type->addItems({QStringLiteral("Wheel specific"), QStringLiteral("Car")});
    for (const char* q : kQuantities)
        m_quantity->addItem(QString::fromLatin1(q));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(QStringLiteral("&Short name:"), m_shortName);
    form->addRow(QStringLiteral("&Type:"), m_type);
    form->addRow(QStringLiteral("&Minimum:"), m_minimum);
    form->addRow(QStringLiteral("Ma&ximum:"), m_maximum);
    form->addRow(QStringLiteral("&Quantity:"), m_quantity);
    form->addRow(QStringLiteral("&Unit conversion factor:"), m_factor);
    form->addRow(QStringLiteral("&Expression:"), m_formula);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CCustomItemDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCustomItemDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(530, 310);
}

void CCustomItemDlg::UpdateControls() {
    m_name->setText(name);
    m_shortName->setText(shortName);
    m_type->setCurrentIndex(type >= 0 && type < m_type->count() ? type : -1);
    m_quantity->setCurrentIndex(quantity >= 0 && quantity < m_quantity->count() ? quantity : -1);
    m_factor->setText(WriteNumber(factor));
    m_minimum->setText(WriteNumber(minimum));
    m_maximum->setText(WriteNumber(maximum));
    m_formula->setPlainText(formula);
}

bool CCustomItemDlg::UpdateData() {
    struct NumberField {
        QLineEdit* edit;
        double* value;
    };
    double newFactor = factor, newMinimum = minimum, newMaximum = maximum;
    for (const NumberField& field :
         {NumberField{m_minimum, &newMinimum}, NumberField{m_maximum, &newMaximum},
          NumberField{m_factor, &newFactor}}) {
        const std::optional<double> value = ReadNumber(field.edit->text());
        if (!value) {
            morlund::ShowMessage("Please enter a number.", morlund::MessageIcon::Warning);
            field.edit->setFocus();
            field.edit->selectAll();
            return false;
        }
        *field.value = *value;
    }
    // A display range without width would divide by zero in every view that scales to it.
    if (!(newMaximum > newMinimum)) {
        morlund::ShowMessage("The maximum must be greater than the minimum.",
                             morlund::MessageIcon::Warning);
        m_maximum->setFocus();
        m_maximum->selectAll();
        return false;
    }
    name = m_name->text();
    shortName = m_shortName->text();
    type = m_type->currentIndex();
    quantity = m_quantity->currentIndex();
    factor = newFactor;
    minimum = newMinimum;
    maximum = newMaximum;
    formula = m_formula->toPlainText();
    return true;
}

void CCustomItemDlg::accept() {
    if (UpdateData()) QDialog::accept();
}

void CCustomItemDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) UpdateControls();
    QDialog::showEvent(event);
}

}  // namespace tarnwick

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/shell/CustomItemDlg.h"
#include "morlund/platform/RecordingMessageSink.h"

using morlund::RecordingMessageSink;
using morlund::ScopedMessageSink;
using tarnwick::CCustomItemDlg;

namespace {

QLineEdit* Edit(CCustomItemDlg& dlg, int id) {
    return dlg.findChild<QLineEdit*>(QString::number(id));
}

CCustomItemDlg& Filled(CCustomItemDlg& dlg) {
    dlg.name = "Front grip";
    dlg.shortName = "fgrip";
    dlg.type = 1;
    dlg.quantity = 5;  // "4 Acceleration"
    dlg.factor = 0.5;
    dlg.minimum = -2.0;
    dlg.maximum = 3.0;
    dlg.formula = "latacc / 9.81";
    dlg.UpdateControls();
    return dlg;
}

}  // namespace

TEST(CustomItemDlg, ControlsShowTheFieldsAndOkReadsThemBack) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    CCustomItemDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "Custom Data Item");
    Filled(dlg);
    auto* quantity = dlg.findChild<QComboBox*>("1164");
    auto* type = dlg.findChild<QComboBox*>("1163");
    ASSERT_NE(quantity, nullptr);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(quantity->count(), 16);
    EXPECT_EQ(quantity->itemText(0), "");
    EXPECT_EQ(quantity->currentText(), "4 Acceleration");
    EXPECT_EQ(type->currentText(), "Car");
    EXPECT_EQ(Edit(dlg, 1166)->text(), "-2");
    EXPECT_EQ(dlg.findChild<QPlainTextEdit*>("1160")->toPlainText(), "latacc / 9.81");

    Edit(dlg, 1161)->setText("Rear grip");
    Edit(dlg, 1165)->setText(" 2.5 ");
    quantity->setCurrentIndex(0);
    type->setCurrentIndex(0);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.name, "Rear grip");
    EXPECT_EQ(dlg.factor, 2.5);
    EXPECT_EQ(dlg.quantity, 0);
    EXPECT_EQ(dlg.type, 0);
    EXPECT_TRUE(sink.Messages().empty());

    // Fields never filled show no list entry.
    CCustomItemDlg fresh;
    fresh.UpdateControls();
    EXPECT_EQ(fresh.findChild<QComboBox*>("1163")->currentIndex(), -1);
    EXPECT_EQ(fresh.findChild<QComboBox*>("1164")->currentIndex(), -1);
}

TEST(CustomItemDlg, RefusesAnEmptyOrInvertedRangeAndTextThatIsNoNumber) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    CCustomItemDlg dlg;
    Filled(dlg);
    dlg.show();
    for (const char* maximum : {"-2", "-5", "abc"}) {
        sink.Clear();
        Edit(dlg, 1167)->setText(maximum);
        Edit(dlg, 1161)->setText("changed");
        dlg.accept();
        EXPECT_TRUE(dlg.isVisible()) << maximum;  // stays open
        EXPECT_EQ(dlg.result(), QDialog::Rejected) << maximum;
        EXPECT_EQ(sink.Messages().size(), 1u) << maximum;
        EXPECT_EQ(dlg.maximum, 3.0) << maximum;  // fields untouched
        EXPECT_EQ(dlg.name, "Front grip") << maximum;
    }
    Edit(dlg, 1167)->setText("-1.5");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.maximum, -1.5);
    EXPECT_EQ(dlg.name, "changed");
}

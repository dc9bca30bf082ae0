#include <gtest/gtest.h>

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include "app/shell/AboutDlg.h"
#include "tarnwick/Version.h"

using tarnwick::CAboutDlg;

TEST(AboutDialog, ShowsTheBuildsNameVersionAndDate) {
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "About Tarnwick");
    auto* version = dlg.findChild<QLabel*>(QString::number(CAboutDlg::kIdVersion));
    ASSERT_NE(version, nullptr);
    const QString expected =
        QStringLiteral("Tarnwick Version %1 (").arg(tarnwick::version::kFileVersion);
    EXPECT_TRUE(version->text().startsWith(expected)) << version->text().toStdString();
    EXPECT_TRUE(version->text().endsWith(')'));

    // The date is the compiler's, "Mmm d yyyy" without the padding blank of a short day.
    const QString date = CAboutDlg::BuildDate();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z][a-z]{2} [1-9][0-9]? [0-9]{4}$"))
                    .match(date)
                    .hasMatch())
        << date.toStdString();
    EXPECT_TRUE(QLocale::c().toDate(date, QStringLiteral("MMM d yyyy")).isValid());
    EXPECT_EQ(version->text(), expected + date + ')');
}

TEST(AboutDialog, CopyrightNamesTheCompanyOnce) {
    CAboutDlg dlg;
    auto* line = dlg.findChild<QLabel*>(QString::number(CAboutDlg::kIdCopyright));
    ASSERT_NE(line, nullptr);
    const QString text = line->text();
    EXPECT_TRUE(text.startsWith(QString::fromUtf8(tarnwick::version::kLegalCopyright)));
    EXPECT_EQ(text.count(QStringLiteral("Ravelle")), 1) << text.toStdString();
}

TEST(AboutDialog, DescriptionIsReadOnlyWithAcknowledgements) {
    CAboutDlg dlg;
    auto* text = dlg.findChild<QPlainTextEdit*>(QString::number(CAboutDlg::kIdDescription));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    const QStringList parts = text->toPlainText().split(QStringLiteral("\n\n"));
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0],
              "Viewer for GPx Performance Analysis files, F1RS/MGPRS2 Telemetry files, LFS Replay "
              "Analyser files, and generic performance data files.");
    EXPECT_FALSE(parts[1].trimmed().isEmpty());
    auto* notice = dlg.findChild<QLabel*>(QStringLiteral("notice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->text().isEmpty());
}

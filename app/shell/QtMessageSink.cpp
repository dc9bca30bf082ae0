#include "app/shell/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>

namespace tarnwick {

namespace {
QString& CurrentFile() {
    static QString file;
    return file;
}
}  // namespace

MessageFileScope::MessageFileScope(const QString& fileName) : m_outer(CurrentFile()) {
    CurrentFile() = fileName;
}

MessageFileScope::~MessageFileScope() { CurrentFile() = m_outer; }

QString QtMessageSink::Title() {
    const QString program = QApplication::applicationDisplayName();
    return CurrentFile().isEmpty() ? program
                                   : QStringLiteral("%1 - %2").arg(CurrentFile(), program);
}

void QtMessageSink::SetStatusBar(QStatusBar* bar) { m_statusBar = bar; }

morlund::MessageAnswer QtMessageSink::Show(const std::string& text, morlund::MessageIcon icon,
                                           morlund::MessageButtons buttons) {
    using morlund::MessageAnswer;
    QMessageBox::Icon boxIcon = QMessageBox::Critical;
    switch (icon) {
        case morlund::MessageIcon::Information:
            boxIcon = QMessageBox::Information;
            break;
        case morlund::MessageIcon::Warning:
            boxIcon = QMessageBox::Warning;
            break;
        case morlund::MessageIcon::Error:
            boxIcon = QMessageBox::Critical;
            break;
        case morlund::MessageIcon::Question:
            boxIcon = QMessageBox::Question;
            break;
    }
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == morlund::MessageButtons::YesNo) set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == morlund::MessageButtons::YesNoCancel)
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(boxIcon, Title(), QString::fromStdString(text), set, m_window);
    // A message must never block a busy cursor.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (busy) QApplication::restoreOverrideCursor();
    switch (answer) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        default:
            return buttons == morlund::MessageButtons::Ok      ? MessageAnswer::Ok
                   : buttons == morlund::MessageButtons::YesNo ? MessageAnswer::No
                                                               : MessageAnswer::Cancel;
    }
}

void QtMessageSink::SetStatusText(const std::string& text) {
    if (m_statusBar) m_statusBar->showMessage(QString::fromStdString(text), 5000);
}

}  // namespace tarnwick

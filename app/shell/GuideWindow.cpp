#include "app/shell/GuideWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tarnwick {

CGuideWindow::CGuideWindow(const QString& guide, QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("UserGuide"));
    setWindowTitle(tr("Tarnwick User Guide"));
    setAttribute(Qt::WA_DeleteOnClose);
    setOpenExternalLinks(true);
    resize(900, 760);
    setSearchPaths({QFileInfo(guide).absolutePath()});
    setSource(QUrl::fromLocalFile(guide), QTextDocument::MarkdownResource);
}

QString CGuideWindow::Find(const QString& programFolder) {
    const QDir folder(programFolder);
    for (const QString& relative :
         {QStringLiteral("../docs/guide.md"), QStringLiteral("../share/doc/tarnwick/guide/guide.md")}) {
        const QString path = QDir::cleanPath(folder.filePath(relative));
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

}  // namespace tarnwick

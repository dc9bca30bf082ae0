#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTextDocument>

#include "DocFixtures.h"
#include "app/shell/GuideWindow.h"

using tarnwick::CGuideWindow;

// The guide is found in the build tree or in the installed documentation, and shows
// with its pictures.
TEST(UserGuide, FoundWhereItIsAndShownWithItsPictures) {
    doctest::TempDir dir;
    const QDir root(dir / "");
    for (const char* folder : {"build/bin", "build/docs/images", "usr/bin",
                               "usr/share/doc/tarnwick/guide", "empty/bin"})
        ASSERT_TRUE(root.mkpath(folder));
    for (const char* guide : {"build/docs/guide.md", "usr/share/doc/tarnwick/guide/guide.md"}) {
        QFile file(root.filePath(guide));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# Tarnwick user guide\n\n![A picture](images/shot.png)\n");
    }
    QImage shot(40, 30, QImage::Format_RGB32);
    shot.fill(Qt::red);
    ASSERT_TRUE(shot.save(root.filePath("build/docs/images/shot.png")));

    EXPECT_EQ(CGuideWindow::Find(root.filePath("build/bin")),
              root.filePath("build/docs/guide.md"));
    EXPECT_EQ(CGuideWindow::Find(root.filePath("usr/bin")),
              root.filePath("usr/share/doc/tarnwick/guide/guide.md"));
    EXPECT_EQ(CGuideWindow::Find(root.filePath("empty/bin")), QString());

    CGuideWindow window(root.filePath("build/docs/guide.md"));
    EXPECT_TRUE(window.document()->toPlainText().contains("Tarnwick user guide"));
    const QVariant picture =
        window.document()->resource(QTextDocument::ImageResource, QUrl("images/shot.png"));
    EXPECT_EQ(picture.value<QImage>().size(), QSize(40, 30));
}

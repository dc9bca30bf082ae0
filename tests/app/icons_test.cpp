#include "app/res/Icons.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QString>
#include <vector>

using tarnwick::CommandIcon;

namespace {

QImage Image(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Share of pixels that carry paint.
double Coverage(const QImage& image) {
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 64) ++painted;
    return static_cast<double>(painted) / (image.width() * image.height());
}

void ExpectBothSizes(const QIcon& icon, const QString& what) {
    SCOPED_TRACE(what.toStdString());
    ASSERT_FALSE(icon.isNull());
    const auto sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_EQ(icon.pixmap(16).size(), QSize(16, 16));
    EXPECT_EQ(icon.pixmap(32).size(), QSize(32, 32));
}

// Every image differs from every other one of the same list.
void ExpectDistinct(const std::vector<QImage>& images, const char* what) {
    for (size_t i = 0; i < images.size(); ++i)
        for (size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << what << " " << i << " and " << j << " look the same";
}

}  // namespace

TEST(Icons, GameIconsHaveBothSizesAndDifferPerGame) {
    for (int size : {16, 32}) {
        std::vector<QImage> images;
        for (const morlund::GameInfo& row : morlund::GetGames()) {
            const int game = morlund::GameIndex(row.type);
            ExpectBothSizes(tarnwick::GameIcon(row.type), QStringLiteral("game %1").arg(game));
            const QImage image = Image(tarnwick::GameIconPixmap(row.type, size));
            ASSERT_EQ(image.size(), QSize(size, size));
            EXPECT_GT(Coverage(image), 0.8) << "game " << game << " badge at " << size;
            images.push_back(image);
        }
        ExpectDistinct(images, "games");
    }
}

TEST(Icons, CommandIconsHaveBothSizesAndDiffer) {
    for (int size : {16, 32}) {
        std::vector<QImage> images;
        for (int i = 0; i < tarnwick::kCommandIconCount; ++i) {
            const auto id = static_cast<CommandIcon>(i);
            ExpectBothSizes(tarnwick::MakeCommandIcon(id), QStringLiteral("command %1").arg(i));
            const QImage image = Image(tarnwick::CommandIconPixmap(id, size));
            // A pictogram, not an empty square and not a filled one.
            const double coverage = Coverage(image);
            EXPECT_GT(coverage, 0.15) << "command " << i << " at " << size;
            EXPECT_LT(coverage, 0.95) << "command " << i << " at " << size;
            images.push_back(image);
        }
        ExpectDistinct(images, "commands");
    }
}

TEST(Icons, ProgramIconAtEverySize) {
    const QIcon icon = tarnwick::ProgramIcon();
    ExpectBothSizes(icon, QStringLiteral("program"));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
    EXPECT_GT(Coverage(Image(tarnwick::ProgramIconPixmap(48))), 0.8);
}

// Lays every picture out on one sheet, at 16 and 32 pixels and magnified, on a light
// and a dark background. Set TARNWICK_ICON_SHEET to a PNG path to keep it for a look.
TEST(Icons, ContactSheet) {
    constexpr int kCell = 112;
    const int games = 9;
    const int columns = std::max(games, tarnwick::kCommandIconCount);
    QImage sheet(columns * kCell, 4 * kCell, QImage::Format_ARGB32);
    sheet.fill(QColor(0xf0, 0xf0, 0xf0));
    QPainter p(&sheet);
    p.fillRect(0, 2 * kCell, sheet.width(), 2 * kCell, QColor(0x30, 0x33, 0x38));
    auto cell = [&](int col, int row, const QPixmap& small, const QPixmap& large) {
        const int x = col * kCell + 4;
        const int y = row * kCell + 4;
        p.drawPixmap(x, y, small);
        p.drawPixmap(x + 20, y, large);
        p.drawPixmap(x + 56, y, small.scaled(48, 48));  // pixels magnified three times
        p.drawPixmap(x, y + 40, large.scaled(64, 64));
    };
    for (int bg = 0; bg < 2; ++bg) {
        for (int game = 0; game < games; ++game)
            cell(game, 2 * bg, tarnwick::GameIconPixmap(static_cast<morlund::GameType>(game), 16),
                 tarnwick::GameIconPixmap(static_cast<morlund::GameType>(game), 32));
        for (int i = 0; i < tarnwick::kCommandIconCount; ++i) {
            const auto id = static_cast<CommandIcon>(i);
            cell(i, 2 * bg + 1, tarnwick::CommandIconPixmap(id, 16),
                 tarnwick::CommandIconPixmap(id, 32));
        }
        p.drawPixmap((games + 1) * kCell, 2 * bg * kCell + 4, tarnwick::ProgramIconPixmap(16));
        p.drawPixmap((games + 1) * kCell + 20, 2 * bg * kCell + 4, tarnwick::ProgramIconPixmap(32));
        p.drawPixmap((games + 2) * kCell, 2 * bg * kCell + 4, tarnwick::ProgramIconPixmap(64));
        p.drawPixmap((games + 3) * kCell, 2 * bg * kCell + 4, tarnwick::ProgramIconPixmap(48));
    }
    p.end();
    EXPECT_FALSE(sheet.isNull());
    const QString out = qEnvironmentVariable("TARNWICK_ICON_SHEET");
    if (!out.isEmpty()) {
        EXPECT_TRUE(sheet.save(out));
    }
}

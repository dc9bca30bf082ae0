#pragma once

#include <QIcon>
#include <QPixmap>

#include "morlund/formats/Games.h"

namespace tarnwick {

// The tool-bar commands that carry a picture, in tool-bar order.
enum class CommandIcon {
    FileOpen,
    AddBuffers,
    DeleteBuffers,
    SetupOpen,
    SetupSave,
    SetupEdit,
    NewStatView,
    NewGraphView,
    NewTextView,
    NewTrackView,
    CursorMode,
    ZoomSelection,
    ZoomInX,
    ZoomOutX,
    ZoomInY,
    ZoomOutY,
    Cascade,
    TileHorizontally,
    TileVertically,
};
inline constexpr int kCommandIconCount = 19;

// Every picture is drawn here in code, so it stays sharp at any size and needs no
// image files. The pixmaps need a running QGuiApplication.

// The program's own icon (16, 24, 32, 48, 64, 128 and 256 pixels).
QIcon ProgramIcon();
QPixmap ProgramIconPixmap(int size);

// A coloured badge with the game's short label, as its row gives them. The designs
// are made for 16 and 32 pixels; other sizes are drawn as well.
QPixmap GameIconPixmap(morlund::GameType game, int size);
QIcon GameIcon(morlund::GameType game);  // 16 and 32 pixels

// Tool-bar pictograms, designed on a 16-pixel grid; 32 pixels is the same drawing doubled.
QPixmap CommandIconPixmap(CommandIcon id, int size);
QIcon MakeCommandIcon(CommandIcon id);  // 16 and 32 pixels

}  // namespace tarnwick

#pragma once

namespace kqvdr {

// The attributes every text operation of the page layer takes, combined with |.
enum PrintFlag : int {
    PrintBold = 0x001,
    PrintItalic = 0x002,
    PrintUnderline = 0x004,
    PrintStrikeOut = 0x008,
    PrintBoxed = 0x010, // a rectangle around the text's box
    PrintLeft = 0x020,
    PrintRight = 0x040,
    PrintCentred = 0x080, // wins over PrintRight
    PrintExpandTabs = 0x100,
    PrintSingleLine = 0x200, // without it words wrap within the box
    PrintNoClip = 0x400,
    PrintVCentred = 0x800,
};

} // namespace kqvdr

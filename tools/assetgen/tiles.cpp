// tiles.cpp: the pixel art of the 42 tiles and the icon, drawn in palette indices.
#include <cmath>
#include <cstring>

#include "tools/assetgen/art.h"

// The 16 colours of the classic palette, but for green, olive and teal, which only digits use:
// darker, so that every digit keeps 3:1 contrast against the silver face.
const uint8_t kArtPalette[kPaletteSize][3] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x70, 0x00}, {0x68, 0x68, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x68, 0x68}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};

const int kTileSides[kTileSizeCount] = {15, 18, 21};

int TileIdBase(int side) {
  switch (side) {
    case 15: return TILE_BASE_15;
    case 18: return TILE_BASE_18;
    case 21: return TILE_BASE_21;
    default: return 0;
  }
}

namespace {

// Digit glyphs, hand-drawn per tile size: 'X' is ink. Each set holds digits 1 to 8.
const char* const kDigits15[8][7] = {
    {"..XX.", ".XXX.", "XXXX.", "..XX.", "..XX.", "..XX.", "XXXXX"},
    {".XXX.", "XX.XX", "...XX", "..XX.", ".XX..", "XX...", "XXXXX"},
    {"XXXX.", "...XX", "...XX", ".XXX.", "...XX", "...XX", "XXXX."},
    {"...XX", "..XXX", ".XXXX", "XX.XX", "XXXXX", "...XX", "...XX"},
    {"XXXXX", "XX...", "XXXX.", "...XX", "...XX", "XX.XX", ".XXX."},
    {".XXX.", "XX...", "XX...", "XXXX.", "XX.XX", "XX.XX", ".XXX."},
    {"XXXXX", "...XX", "...XX", "..XX.", "..XX.", ".XX..", ".XX.."},
    {".XXX.", "XX.XX", "XX.XX", ".XXX.", "XX.XX", "XX.XX", ".XXX."},
};

const char* const kDigits18[8][9] = {
    {"..XX..", ".XXX..", "XXXX..", "..XX..", "..XX..", "..XX..", "..XX..", "XXXXXX", "XXXXXX"},
    {".XXXX.", "XXXXXX", "XX..XX", "....XX", "...XXX", "..XXX.", ".XXX..", "XXXXXX", "XXXXXX"},
    {"XXXXX.", "XXXXXX", "....XX", "..XXX.", "..XXX.", "....XX", "....XX", "XXXXXX", "XXXXX."},
    {"...XX.", "..XXX.", ".XXXX.", "XX.XX.", "XXXXXX", "XXXXXX", "...XX.", "...XX.", "...XX."},
    {"XXXXXX", "XXXXXX", "XX....", "XXXXX.", "XXXXXX", "....XX", "XX..XX", "XXXXXX", ".XXXX."},
    {".XXXX.", "XXXXX.", "XX....", "XXXXX.", "XXXXXX", "XX..XX", "XX..XX", "XXXXXX", ".XXXX."},
    {"XXXXXX", "XXXXXX", "....XX", "...XX.", "...XX.", "..XX..", "..XX..", "..XX..", "..XX.."},
    {".XXXX.", "XXXXXX", "XX..XX", ".XXXX.", "XXXXXX", "XX..XX", "XX..XX", "XXXXXX", ".XXXX."},
};

const char* const kDigits21[8][11] = {
    {"...XX..", "..XXX..", ".XXXX..", "XX.XX..", "...XX..", "...XX..", "...XX..", "...XX..",
     "...XX..", "XXXXXXX", "XXXXXXX"},
    {".XXXXX.", "XXXXXXX", "XX...XX", ".....XX", "....XXX", "..XXXX.", ".XXX...", "XXX....",
     "XX.....", "XXXXXXX", "XXXXXXX"},
    {"XXXXXX.", "XXXXXXX", ".....XX", ".....XX", "..XXXX.", "..XXXX.", ".....XX", ".....XX",
     ".....XX", "XXXXXXX", "XXXXXX."},
    {"....XX.", "...XXX.", "..XXXX.", ".XX.XX.", "XX..XX.", "XX..XX.", "XXXXXXX", "XXXXXXX",
     "....XX.", "....XX.", "....XX."},
    {"XXXXXXX", "XXXXXXX", "XX.....", "XX.....", "XXXXXX.", "XXXXXXX", ".....XX", ".....XX",
     "XX...XX", "XXXXXXX", ".XXXXX."},
    {".XXXXX.", "XXXXXX.", "XX.....", "XX.....", "XXXXXX.", "XXXXXXX", "XX...XX", "XX...XX",
     "XX...XX", "XXXXXXX", ".XXXXX."},
    {"XXXXXXX", "XXXXXXX", ".....XX", "....XX.", "....XX.", "...XX..", "...XX..", "..XX...",
     "..XX...", "..XX...", "..XX..."},
    {".XXXXX.", "XXXXXXX", "XX...XX", "XX...XX", ".XXXXX.", "XXXXXXX", "XX...XX", "XX...XX",
     "XX...XX", "XXXXXXX", ".XXXXX."},
};

// Each its own, none lighter than a third of the face's contrast allows.
const uint8_t kDigitColour[8] = {kPalGreen, kPalNavy,  kPalPurple, kPalBlue,
                                 kPalBlack, kPalOlive, kPalMaroon, kPalTeal};

// Flags, hand-drawn per size over the whole tile: 'R' red, 'Y' yellow, 'K' black, '.' face.
const char* const kFlag15[15] = {
    "...............", "...............", "........K......", "..RRYYRRK......", "..RRYYRRK......",
    "..YYRRYYK......", "..YYRRYYK......", "........K......", "........K......", "........K......",
    "........K......", "......KKKKK....", "....KKKKKKKKK..", "...............", "...............",
};

const char* const kFlag18[18] = {
    "..................", "..................", "..........K.......", "..RRYYRRYYK.......",
    "..RRYYRRYYK.......", "..YYRRYYRRK.......", "..YYRRYYRRK.......", "..RRYYRRYYK.......",
    "..RRYYRRYYK.......", "..........K.......", "..........K.......", "..........K.......",
    "..........K.......", "..........K.......", "........KKKKK.....", ".....KKKKKKKKKKK..",
    "..................", "..................",
};

const char* const kFlag21[21] = {
    ".....................", ".....................", "............K........",
    "..RRYYRRYYRRK........", "..RRYYRRYYRRK........", "..YYRRYYRRYYK........",
    "..YYRRYYRRYYK........", "..RRYYRRYYRRK........", "..RRYYRRYYRRK........",
    "............K........", "............K........", "............K........",
    "............K........", "............K........", "............K........",
    "............K........", "............K........", "..........KKKKK......",
    ".......KKKKKKKKKKK...", ".....................", ".....................",
};

// Mines, hand-drawn the same way: a black disc, eight spikes and a yellow centre.
const char* const kMine15[15] = {
    "...............", "...............", ".......K.......", "...K...K...K...", "....KKKKKKK....",
    "....KKKKKKK....", "....KKKYKKK....", "..KKKKYYYKKKK..", "....KKKYKKK....", "....KKKKKKK....",
    "....KKKKKKK....", "...K...K...K...", ".......K.......", "...............", "...............",
};

const char* const kMine18[18] = {
    "..................", "..................", "........KK........", "...K....KK....K...",
    "....K...KK...K....", ".....KKKKKKKK.....", ".....KKKKKKKK.....", ".....KKKKKKKK.....",
    "..KKKKKKYYKKKKKK..", "..KKKKKKYYKKKKKK..", ".....KKKKKKKK.....", ".....KKKKKKKK.....",
    ".....KKKKKKKK.....", "....K...KK...K....", "...K....KK....K...", "........KK........",
    "..................", "..................",
};

const char* const kMine21[21] = {
    ".....................", ".....................", "..........K..........",
    "...K......K......K...", "....K.....K.....K....", ".....K...KKK...K.....",
    "......KKKKKKKKK......", "......KKKKKKKKK......", "......KKKKKKKKK......",
    ".....KKKKYYYKKKK.....", "..KKKKKKKYYYKKKKKKK..", ".....KKKKYYYKKKK.....",
    "......KKKKKKKKK......", "......KKKKKKKKK......", "......KKKKKKKKK......",
    ".....K...KKK...K.....", "....K.....K.....K....", "...K......K......K...",
    "..........K..........", ".....................", ".....................",
};

constexpr double kPi = 3.14159265358979323846;

void Fill(uint8_t* px, int side, uint8_t colour) {
  memset(px, colour, static_cast<size_t>(side * side));
}

// The sunken face of an uncovered cell, or the raised one of a covered cell: the lines swap.
void DrawFace(uint8_t* px, int side, bool raised) {
  const uint8_t light = raised ? kPalWhite : kPalBlack;
  const uint8_t dark = raised ? kPalBlack : kPalWhite;
  Fill(px, side, kPalSilver);
  for (int i = 0; i < side; ++i) {
    px[i] = light;                     // top row
    px[i * side] = light;              // left column
    px[i * side + side - 1] = dark;    // right column
    px[(side - 1) * side + i] = dark;  // bottom row
  }
  // The corners where the two lines meet belong to the top-left line at the bottom-left and
  // to the bottom-right line at the top-right, so the grid reads as one crisp lattice.
  px[side - 1] = dark;
  px[(side - 1) * side] = light;
  // A grey inner shadow under the black line lifts the covered tile off the uncovered ones
  // beside it, which share its silver face.
  if (raised) {
    for (int i = 1; i < side - 1; ++i) {
      px[i * side + side - 2] = kPalGrey;
      px[(side - 2) * side + i] = kPalGrey;
    }
  }
}

void DrawPicture(uint8_t* px, int side, const char* const* rows) {
  for (int y = 1; y < side - 1; ++y) {
    for (int x = 1; x < side - 1; ++x) {
      switch (rows[y][x]) {
        case 'K': px[y * side + x] = kPalBlack; break;
        case 'R': px[y * side + x] = kPalRed; break;
        case 'Y': px[y * side + x] = kPalYellow; break;
        default: break;
      }
    }
  }
}

void DrawDigit(uint8_t* px, int side, int digit) {
  const char* const* glyph = kDigits21[digit - 1];
  int width = 7;
  int height = 11;
  if (side == 15) {
    glyph = kDigits15[digit - 1];
    width = 5;
    height = 7;
  } else if (side == 18) {
    glyph = kDigits18[digit - 1];
    width = 6;
    height = 9;
  }
  // The glyph itself sits at the centre; its shadow hangs one pixel to the right.
  const int left = (side - width) / 2;
  const int top = (side - height + 1) / 2;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (glyph[y][x] != 'X') continue;
      px[(top + y) * side + left + x] = kDigitColour[digit - 1];
      if (x + 1 >= width || glyph[y][x + 1] != 'X') {
        px[(top + y) * side + left + x + 1] = kPalGrey;
      }
    }
  }
}

const char* const* FlagRows(int side) {
  return side == 15 ? kFlag15 : side == 18 ? kFlag18 : kFlag21;
}

// A thick red X from the inner corners of the face.
void DrawCross(uint8_t* px, int side) {
  for (int y = 1; y < side - 1; ++y) {
    for (int x = 1; x < side - 1; ++x) {
      const int down = x - y;
      const int up = x + y - (side - 1);
      const int thick = side >= 21 ? 1 : 0;  // three pixels across at the largest size, else two
      if ((down >= -thick && down <= 1) || (up >= -1 && up <= thick)) px[y * side + x] = kPalRed;
    }
  }
}

// A black disc with spikes in eight directions and a yellow centre.
void DrawMine(uint8_t* px, int side) {
  DrawPicture(px, side, side == 15 ? kMine15 : side == 18 ? kMine18 : kMine21);
}

// A red field with a yellow star of eight rays that fall between the mine's spikes.
void DrawBurst(uint8_t* px, int side) {
  const double centre = (side - 1) / 2.0;
  const double inner = side * 0.27;
  const double outer = side * 0.75;
  for (int y = 1; y < side - 1; ++y) {
    for (int x = 1; x < side - 1; ++x) {
      const double dx = x - centre;
      const double dy = y - centre;
      const double distance = std::sqrt(dx * dx + dy * dy);
      // Phase 0 on a ray, 1 on a spike: the rays fall halfway between the mine's spikes.
      const double turns = std::atan2(dy, dx) * 8 / (2 * kPi) + 16.0;
      const double phase = std::fabs(turns - std::floor(turns) - 0.5) * 2;
      const double ray = phase < 0.6 ? 1 - phase / 0.6 : 0;
      const double reach = inner + (outer - inner) * ray;
      px[y * side + x] = distance <= reach ? kPalYellow : kPalRed;
    }
  }
  if (side == 18) {
    // Sparks flying off the blast in the medium set: column, row, colour.
    struct Spark {
      int x, y;
      uint8_t colour;
    };
    static const Spark kSparks[] = {
        {2, 2, kPalLime},    {15, 3, kPalMagenta}, {3, 15, kPalMagenta}, {15, 14, kPalLime},
        {8, 1, kPalMagenta}, {1, 9, kPalLime},     {16, 8, kPalLime},    {9, 16, kPalMagenta},
    };
    for (const Spark& spark : kSparks) px[spark.y * side + spark.x] = spark.colour;
  }
}

}  // namespace

int DrawTile(int side, int offset, uint8_t* pixels) {
  if (TileIdBase(side) == 0 || offset < 1 || offset > TILE_COUNT) return 0;
  DrawFace(pixels, side, offset == TILE_COVERED);
  if (offset >= TILE_NUMBER_1 && offset <= TILE_NUMBER_8) {
    DrawDigit(pixels, side, offset - TILE_NUMBER_1 + 1);
  } else if (offset == TILE_FLAG || offset == TILE_WRONG_FLAG) {
    DrawPicture(pixels, side, FlagRows(side));
    if (offset == TILE_WRONG_FLAG) DrawCross(pixels, side);
  } else if (offset == TILE_MINE) {
    DrawMine(pixels, side);
  } else if (offset == TILE_EXPLODED) {
    DrawBurst(pixels, side);
    DrawMine(pixels, side);
  }
  return 1;
}

void DrawIcon(uint8_t* px) {
  const int n = kIconSide;
  const double centre = (n - 1) / 2.0;
  bool mine[kIconSide * kIconSide];
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      const double dx = x - centre;
      const double dy = y - centre;
      bool in = dx * dx + dy * dy <= 7.0 * 7.0;
      for (int k = 0; k < 8 && !in; ++k) {
        // Spikes taper from the body to a point that touches the edge or the corner.
        const double ux = std::cos(k * kPi / 4);
        const double uy = std::sin(k * kPi / 4);
        const double along = dx * ux + dy * uy;
        const double across = std::fabs(-dx * uy + dy * ux);
        const double reach = (k % 2 == 0) ? centre + 0.5 : (centre + 0.5) * std::sqrt(2.0);
        if (along <= 0 || along > reach) continue;
        const double half = (k % 2 == 0 ? 4.2 : 3.4) * (1 - along / reach) + 0.55;
        in = across <= half;
      }
      mine[y * n + x] = in;
    }
  }
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      uint8_t colour = kPalSilver;
      if (mine[y * n + x]) {
        const bool edge = x == 0 || y == 0 || x == n - 1 || y == n - 1 || !mine[y * n + x - 1] ||
                          !mine[y * n + x + 1] || !mine[(y - 1) * n + x] || !mine[(y + 1) * n + x];
        colour = edge ? kPalBlack : kPalGrey;
        const double dx = x - centre;
        const double dy = y - centre;
        const double squared = dx * dx + dy * dy;
        if (squared <= 4.7 * 4.7) colour = kPalBlack;  // a dark rim sets the core off the body
        if (squared <= 3.6 * 3.6) colour = kPalRed;
      }
      px[y * n + x] = colour;
    }
  }
  // The highlight catches the light from the upper left.
  px[13 * n + 14] = kPalWhite;
  px[14 * n + 13] = kPalWhite;
  px[14 * n + 14] = kPalWhite;
}

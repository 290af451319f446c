// tiles.cpp: the pixel art of the 42 tiles and the icon, drawn in palette indices.
#include "tools/assetgen/art.h"

#include <math.h>
#include <string.h>

const unsigned char kArtPalette[16][3] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};

const int kTileSides[kTileSizeCount] = {15, 18, 21};

int TileIdBase(int side) {
  switch (side) {
    case 15: return 100;
    case 18: return 200;
    case 21: return 300;
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

const unsigned char kDigitColour[8] = {kPalLime,    kPalNavy,  kPalPurple, kPalBlue,
                                       kPalMagenta, kPalOlive, kPalMaroon, kPalTeal};

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

void Fill(unsigned char* px, int side, unsigned char colour) {
  memset(px, colour, (size_t)side * side);
}

// The sunken face of an uncovered cell, or the raised one of a covered cell: the lines swap.
void DrawFace(unsigned char* px, int side, bool raised) {
  const unsigned char light = raised ? kPalWhite : kPalBlack;
  const unsigned char dark = raised ? kPalBlack : kPalWhite;
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

void DrawPicture(unsigned char* px, int side, const char* const* rows) {
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

void DrawDigit(unsigned char* px, int side, int digit) {
  const char* const* glyph;
  int width, height;
  if (side == 15) {
    glyph = kDigits15[digit - 1], width = 5, height = 7;
  } else if (side == 18) {
    glyph = kDigits18[digit - 1], width = 6, height = 9;
  } else {
    glyph = kDigits21[digit - 1], width = 7, height = 11;
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
void DrawCross(unsigned char* px, int side) {
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
void DrawMine(unsigned char* px, int side) {
  DrawPicture(px, side, side == 15 ? kMine15 : side == 18 ? kMine18 : kMine21);
}

// A red field with a yellow star of eight rays that fall between the mine's spikes.
void DrawBurst(unsigned char* px, int side) {
  const double c = (side - 1) / 2.0;
  const double inner = side * 0.27, outer = side * 0.75;
  const double pi = 3.14159265358979323846;
  for (int y = 1; y < side - 1; ++y) {
    for (int x = 1; x < side - 1; ++x) {
      const double dx = x - c, dy = y - c;
      const double r = sqrt(dx * dx + dy * dy);
      // Phase 0 on a ray, 1 on a spike: the rays fall halfway between the mine's spikes.
      const double turns = atan2(dy, dx) * 8 / (2 * pi) + 16.0;
      const double phase = fabs(turns - floor(turns) - 0.5) * 2;
      const double ray = phase < 0.6 ? 1 - phase / 0.6 : 0;
      const double reach = inner + (outer - inner) * ray;
      px[y * side + x] = r <= reach ? kPalYellow : kPalRed;
    }
  }
  if (side == 18) {
    // Sparks flying off the blast in the medium set.
    static const int kSparks[][3] = {
        {2, 2, kPalLime},    {15, 3, kPalMagenta}, {3, 15, kPalMagenta}, {15, 14, kPalLime},
        {8, 1, kPalMagenta}, {1, 9, kPalLime},     {16, 8, kPalLime},    {9, 16, kPalMagenta},
    };
    for (const auto& s : kSparks) px[s[1] * side + s[0]] = (unsigned char)s[2];
  }
}

}  // namespace

int DrawTile(int side, int offset, unsigned char* pixels) {
  if (TileIdBase(side) == 0 || offset < 1 || offset > kTileOffsetCount) return 0;
  DrawFace(pixels, side, offset == 10);
  if (offset <= 8) {
    DrawDigit(pixels, side, offset);
  } else if (offset == 11 || offset == 12) {
    DrawPicture(pixels, side, FlagRows(side));
    if (offset == 12) DrawCross(pixels, side);
  } else if (offset == 13) {
    DrawMine(pixels, side);
  } else if (offset == 14) {
    DrawBurst(pixels, side);
    DrawMine(pixels, side);
  }
  return 1;
}

void DrawIcon(unsigned char* px) {
  const int n = kIconSide;
  const double c = (n - 1) / 2.0;
  const double pi = 3.14159265358979323846;
  bool mine[kIconSide * kIconSide];
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      const double dx = x - c, dy = y - c;
      bool in = dx * dx + dy * dy <= 7.0 * 7.0;
      for (int k = 0; k < 8 && !in; ++k) {
        // Spikes taper from the body to a point that touches the edge or the corner.
        const double ux = cos(k * pi / 4), uy = sin(k * pi / 4);
        const double along = dx * ux + dy * uy;
        const double across = fabs(-dx * uy + dy * ux);
        const double reach = (k % 2 == 0) ? c + 0.5 : (c + 0.5) * sqrt(2.0);
        if (along <= 0 || along > reach) continue;
        const double half = (k % 2 == 0 ? 4.2 : 3.4) * (1 - along / reach) + 0.55;
        in = across <= half;
      }
      mine[y * n + x] = in;
    }
  }
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      unsigned char colour = kPalSilver;
      if (mine[y * n + x]) {
        const bool edge = x == 0 || y == 0 || x == n - 1 || y == n - 1 || !mine[y * n + x - 1] ||
                          !mine[y * n + x + 1] || !mine[(y - 1) * n + x] || !mine[(y + 1) * n + x];
        colour = edge ? kPalBlack : kPalGrey;
        const double dx = x - c, dy = y - c;
        const double r2 = dx * dx + dy * dy;
        if (r2 <= 4.7 * 4.7) colour = kPalBlack;  // a dark rim sets the core off the body
        if (r2 <= 3.6 * 3.6) colour = kPalRed;
      }
      px[y * n + x] = colour;
    }
  }
  // The highlight catches the light from the upper left.
  px[13 * n + 14] = kPalWhite;
  px[14 * n + 13] = kPalWhite;
  px[14 * n + 14] = kPalWhite;
}

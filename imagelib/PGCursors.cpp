// The four mouse cursors of the picture view, 32 x 32, drawn as text: '.' transparent, '#' black,
// 'o' white.
#include "imagelib/PGCursors.h"

#include <cstdint>
#include <cstring>

namespace imagelib {

HCURSOR PGCursorHandOpen = nullptr;
HCURSOR PGCursorHandClosed = nullptr;
HCURSOR PGCursorCrossDashed = nullptr;
HCURSOR PGCursorMove = nullptr;

namespace {

using Picture = const char* const[32];

// An open hand seen from the back: four raised fingers, the thumb to the lower left.
Picture kHandOpen = {
    "................................", "................................", "..............##................",
    "..........##.#oo###.............", ".........#oo##oo#oo#............", ".........#oo##oo#oo#.##.........",
    "..........#oo#oo#oo##oo#........", "..........#oo#oo#oo#oo#.........", "....##....#oo#oo#oo#oo#.........",
    "...#oo#...#ooooooooooo#.........", "...#ooo#..#ooooooooooo#.........", "....#ooo#.#oooooooooo#..........",
    ".....#ooo#ooooooooooo#..........", "......#oooooooooooooo#..........", ".......#ooooooooooooo#..........",
    ".......#oooooooooooo#...........", "........#ooooooooooo#...........", ".........#oooooooooo#...........",
    "..........#ooooooooo#...........", "..........#ooooooooo#...........", "..........###########...........",
    "................................", "................................", "................................",
    "................................", "................................", "................................",
    "................................", "................................", "................................",
    "................................", "................................"};

// The same hand closed into a grip: the fingers bent down, the knuckles at the top.
Picture kHandClosed = {
    "................................", "................................", "................................",
    "................................", "................................", "................................",
    "................................", "...........##.##.##.............", "..........#oo#oo#oo##............",
    "..........#oo#oo#oo#o#..........", ".........##ooooooooooo#..........", "........#o#ooooooooooo#..........",
    "........#ooooooooooooo#.........", ".........#oooooooooooo#.........", "..........#ooooooooooo#.........",
    "..........#oooooooooo#..........", "...........#ooooooooo#..........", "...........#ooooooooo#..........",
    "...........###########..........", "................................", "................................",
    "................................", "................................", "................................",
    "................................", "................................", "................................",
    "................................", "................................", "................................",
    "................................", "................................"};

struct Planes {
  uint8_t And[128];
  uint8_t Xor[128];
};

void Put(Planes& P, int X, int Y, char Kind) {
  int byte = Y * 4 + X / 8;
  uint8_t bit = uint8_t(0x80 >> (X % 8));
  if (Kind == '.')
    P.And[byte] |= bit;  // transparent: the screen shows through
  else
    P.And[byte] &= uint8_t(~bit);
  if (Kind == 'o')
    P.Xor[byte] |= bit;
  else
    P.Xor[byte] &= uint8_t(~bit);
}

Planes FromPicture(Picture Rows) {
  Planes p{};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) Put(p, x, y, Rows[y][x]);
  return p;
}

Planes Empty() {
  Planes p{};
  std::memset(p.And, 0xFF, sizeof p.And);
  return p;
}

// The dashed cross-hair: column and row 15 from 0 to 30, open around the centre, each arm outward
// 2 black, 3 white, 3 black, 3 white, 3 black.
Planes CrossDashed() {
  Planes p = Empty();
  static const char arm[] = "##ooo###ooo###";  // from next to the open centre outward
  for (int i = 0; i < 14; ++i) {
    char kind = arm[i];
    Put(p, 15, 13 - i, kind);
    Put(p, 15, 17 + i, kind);
    Put(p, 13 - i, 15, kind);
    Put(p, 17 + i, 15, kind);
  }
  return p;
}

// A four-headed arrow in black with a white outline, its shafts crossing at (16, 15).
Planes Move() {
  char grid[32][33];
  for (auto& row : grid) {
    std::memset(row, '.', 32);
    row[32] = 0;
  }
  const int cx = 16, cy = 15, reach = 11;
  for (int d = -reach; d <= reach; ++d) {
    grid[cy][cx + d] = '#';
    grid[cy + d][cx] = '#';
  }
  for (int k = 1; k <= 4; ++k)  // the four heads, widening towards the centre
    for (int w = -k + 1; w <= k - 1; ++w) {
      grid[cy - reach - 1 + k][cx + w] = '#';
      grid[cy + reach + 1 - k][cx + w] = '#';
      grid[cy + w][cx - reach - 1 + k] = '#';
      grid[cy + w][cx + reach + 1 - k] = '#';
    }
  char outlined[32][33];
  std::memcpy(outlined, grid, sizeof grid);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (grid[y][x] != '.') continue;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          int nx = x + dx, ny = y + dy;
          if (nx >= 0 && nx < 32 && ny >= 0 && ny < 32 && grid[ny][nx] == '#') outlined[y][x] = 'o';
        }
    }
  Planes p{};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) Put(p, x, y, outlined[y][x]);
  return p;
}

HCURSOR Make(const Planes& P, int HotX, int HotY) {
  return CreateCursor(GetModuleHandleA(nullptr), HotX, HotY, 32, 32, P.And, P.Xor);
}

void Destroy(HCURSOR& Cursor) {
  if (Cursor) DestroyCursor(Cursor);
  Cursor = nullptr;
}

}  // namespace

void CreatePGCursors() {
  PGCursorHandOpen = Make(FromPicture(kHandOpen), 16, 12);
  PGCursorHandClosed = Make(FromPicture(kHandClosed), 16, 12);
  PGCursorCrossDashed = Make(CrossDashed(), 15, 15);
  PGCursorMove = Make(Move(), 16, 15);
}

void DestroyPGCursors() {
  Destroy(PGCursorHandOpen);
  Destroy(PGCursorHandClosed);
  Destroy(PGCursorCrossDashed);
  Destroy(PGCursorMove);
}

}  // namespace imagelib

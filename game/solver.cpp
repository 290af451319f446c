// solver.cpp: the solver (rules between numbers, then each frontier region settled exactly with
// the total) and the no-guess deal, which moves mines until the solver never needs a guess. One
// unit, so that the deal plays on the solver's own working view without copying it.
#include "game/solver.h"

#include <cstring>

namespace {

// Cells by one index, column * kBoardSide + row, so that a neighbour is one step away.
constexpr int kCells = kBoardSide * kBoardSide;
constexpr int kSteps[8] = {-kBoardSide - 1, -kBoardSide, -kBoardSide + 1, -1, 1,
                           kBoardSide - 1,  kBoardSide,  kBoardSide + 1};

// What the player sees, being solved, and the grid's cells column by column.
signed char Seen[kCells];
int Grid[kMaxGrid * kMaxGrid];
int GridCells, Columns, Rows;
int Mines;  // the total
int Proven;

constexpr bool IsNumber(int value) {
  return value >= 0 && value <= 8;
}

// A grid of at most the board's width; Seen holds it covered and everything past it outside.
void TakeGrid(int columns, int rows) {
  Columns = columns < kMaxGrid ? columns : kMaxGrid;
  Rows = rows < kMaxGrid ? rows : kMaxGrid;
  memset(Seen, kSeenOutside, sizeof Seen);
  GridCells = 0;
  for (int column = 1; column <= Columns; ++column)
    for (int row = 1; row <= Rows; ++row)
      Seen[Grid[GridCells++] = column * kBoardSide + row] = kSeenCovered;
}

// --- The local rules -----------------------------------------------------------------------

// The numbers to look at again, each at most once in the ring.
int Queue[kCells];
bool Queued[kCells];
int QueueHead, QueueCount;

void Push(int cell) {
  if (!IsNumber(Seen[cell]) || Queued[cell]) return;
  Queued[cell] = true;
  Queue[(QueueHead + QueueCount++) % kCells] = cell;
}

// A cell and the numbers around it, to look at again.
void Touch(int cell) {
  Push(cell);
  for (int step : kSteps) Push(cell + step);
}

void Prove(int cell, signed char what) {
  Seen[cell] = what;
  ++Proven;
  Touch(cell);
}

// A number's covered cells that nothing proves yet, and how many mines they hold.
struct Around {
  int cells[8];
  int count;
  int need;
};

void Look(int cell, Around& around) {
  around.count = 0;
  around.need = Seen[cell];
  for (int step : kSteps) {
    const int next = cell + step;
    if (Seen[next] == kSeenCovered) around.cells[around.count++] = next;
    if (Seen[next] == kSeenMine) --around.need;
  }
}

bool Holds(const Around& around, int cell) {
  for (int i = 0; i < around.count; ++i)
    if (around.cells[i] == cell) return true;
  return false;
}

// Proves the cells of `own` that `other` lacks all mines, or all safe; false when it proves none.
bool ProveOwn(const Around& own, const Around& other, bool mines, bool safe) {
  bool proved = false;
  for (int i = 0; (mines || safe) && i < own.count; ++i) {
    if (Holds(other, own.cells[i])) continue;
    Prove(own.cells[i], mines ? kSeenMine : kSeenSafe);
    proved = true;
  }
  return proved;
}

// Two numbers that share covered cells: the shared cells hold between `low` and `high` mines,
// which may settle the cells each number has alone.
bool PairRule(const Around& a, int other) {
  Around b;
  Look(other, b);
  int shared = 0;
  for (int i = 0; i < a.count; ++i) shared += Holds(b, a.cells[i]);
  const int onlyA = a.count - shared, onlyB = b.count - shared;
  int low = a.need - onlyA > b.need - onlyB ? a.need - onlyA : b.need - onlyB;
  if (low < 0) low = 0;
  int high = a.need < b.need ? a.need : b.need;
  if (shared < high) high = shared;
  if (low > high) return false;  // the numbers disagree: nothing follows
  return ProveOwn(a, b, a.need - high == onlyA, a.need - low == 0) ||
         ProveOwn(b, a, b.need - high == onlyB, b.need - low == 0);
}

// A cell met in the pass of the current stamp. Marks start again from nothing when the stamps
// run out, so that an old mark never passes for a new one.
uint32_t Stamp;
uint32_t Marks[kCells];

void NextStamp() {
  if (++Stamp == 0) {
    memset(Marks, 0, sizeof Marks);
    Stamp = 1;
  }
}

void RunLocalRules() {
  while (QueueCount > 0) {
    const int cell = Queue[QueueHead];
    QueueHead = (QueueHead + 1) % kCells;
    --QueueCount;
    Queued[cell] = false;
    Around around;
    Look(cell, around);
    if (around.count == 0) continue;
    if (around.need == 0 || around.need == around.count) {
      for (int i = 0; i < around.count; ++i)
        Prove(around.cells[i], around.need == 0 ? kSeenSafe : kSeenMine);
      continue;
    }
    // Every other number that shares a covered cell with this one, until one proves something.
    NextStamp();
    Marks[cell] = Stamp;
    bool proved = false;
    for (int i = 0; i < around.count * 8 && !proved; ++i) {
      const int other = around.cells[i / 8] + kSteps[i % 8];
      if (!IsNumber(Seen[other]) || Marks[other] == Stamp) continue;
      Marks[other] = Stamp;
      proved = PairRule(around, other);
    }
  }
}

// --- Exact settling of the frontier ------------------------------------------------------------

// A set of mine counts, 0 to 255 (a grid holds at most 225 mines).
struct Counts {
  uint32_t words[8];
};
constexpr int kMaxCount = 255;

bool Has(const Counts& counts, int n) {
  return n >= 0 && n <= kMaxCount && (counts.words[n >> 5] >> (n & 31) & 1u) != 0;
}
void Add(Counts& counts, int n) {
  counts.words[n >> 5] |= 1u << (n & 31);
}
bool Meet(const Counts& a, const Counts& b) {
  for (int w = 0; w < 8; ++w)
    if (a.words[w] & b.words[w]) return true;
  return false;
}
// Every sum of a count of a and a count of b.
void Sums(Counts& into, const Counts& a, const Counts& b) {
  memset(&into, 0, sizeof into);
  for (int n = 0; n <= kMaxCount; ++n) {
    if (!Has(a, n)) continue;
    const int words = n >> 5, bits = n & 31;
    for (int w = 7; w >= words; --w) {
      uint32_t shifted = b.words[w - words] << bits;
      if (bits != 0 && w > words) shifted |= b.words[w - words - 1] >> (32 - bits);
      into.words[w] |= shifted;
    }
  }
}
// The counts n for which some count j of `others` leaves target - j - n in [0, slack].
void Allowed(Counts& into, const Counts& others, int target, int slack) {
  memset(&into, 0, sizeof into);
  int inWindow = 0;  // counts of others in [target - slack - n, target - n]
  for (int j = target - slack; j <= target; ++j) inWindow += Has(others, j);
  for (int n = 0; n <= kMaxCount; ++n) {
    if (inWindow > 0) Add(into, n);
    inWindow += Has(others, target - slack - n - 1) - Has(others, target - n);
  }
}

// The frontier (covered cells next to a number), region by region: two cells share a region when
// a number sees both. Each region's cells lie together in Order, in the order they were reached.
int Place[kCells];  // a cell's place in Order, -1 off the frontier
int Order[kCells];
int RegionEnd[kCells];
int Regions;

bool NextToNumber(int cell) {
  for (int step : kSteps)
    if (IsNumber(Seen[cell + step])) return true;
  return false;
}

void FindRegions() {
  memset(Place, 0xFF, sizeof Place);
  int placed = 0;
  Regions = 0;
  for (int g = 0; g < GridCells; ++g) {
    const int start = Grid[g];
    if (Seen[start] != kSeenCovered || Place[start] >= 0 || !NextToNumber(start)) continue;
    Place[Order[placed] = start] = placed;
    ++placed;
    for (int i = placed - 1; i < placed; ++i) {
      for (int j = 0; j < 64; ++j) {
        const int number = Order[i] + kSteps[j / 8], cell = number + kSteps[j % 8];
        if (!IsNumber(Seen[number]) || Seen[cell] != kSeenCovered || Place[cell] >= 0) continue;
        Place[Order[placed] = cell] = placed;
        ++placed;
      }
    }
    RegionEnd[Regions++] = placed;
  }
}

// The numbers of the region being enumerated, with what is assigned around them so far.
struct Constraint {
  int need;
  int mines;
  int open;  // covered cells around it not yet assigned
};
Constraint Constraints[kCells];
int ConstraintOf[kCells];        // by the number's cell
int CellConstraints[kCells][8];  // by place: the constraints of that cell
int ConstraintCount[kCells];
int Value[kCells];  // by place: -1 none yet, 0 safe, 1 mine
// By place: the region's mine counts in the layouts where that cell is a mine, or is safe.
Counts MineCounts[kCells], SafeCounts[kCells];
Counts RegionCounts[kCells];
Counts Before[kCells + 1], After[kCells + 1];

// Assigns the cell at a place its Value (direction 1) or takes it back (-1); false when a number
// around it can no longer be met.
bool Apply(int place, int direction) {
  bool fits = true;
  for (int k = 0; k < ConstraintCount[place]; ++k) {
    Constraint& c = Constraints[CellConstraints[place][k]];
    c.open -= direction;
    c.mines += direction * Value[place];
    fits = fits && c.mines <= c.need && c.mines + c.open >= c.need;
  }
  return fits;
}

// Steps of enumeration one solve may take, so that no position can hang the program. The deal
// allows itself far fewer: a position that needs more is one it had better change.
constexpr int kStepBudget = 1 << 21;
constexpr int kDealStepBudget = 1 << 14;

// Every layout of the region's cells that meets its numbers, by depth-first search without
// recursion; each layout's mine count is noted for the region and for each cell by its value.
bool Enumerate(int start, int end, Counts& counts, int& budget) {
  NextStamp();
  int constraints = 0;
  for (int place = start; place < end; ++place) {
    ConstraintCount[place] = 0;
    memset(&MineCounts[place], 0, sizeof MineCounts[place]);
    memset(&SafeCounts[place], 0, sizeof SafeCounts[place]);
    for (int step : kSteps) {
      const int number = Order[place] + step;
      if (!IsNumber(Seen[number])) continue;
      if (Marks[number] != Stamp) {
        Marks[number] = Stamp;
        ConstraintOf[number] = constraints;
        Around around;
        Look(number, around);
        Constraints[constraints++] = {around.need, 0, around.count};
      }
      CellConstraints[place][ConstraintCount[place]++] = ConstraintOf[number];
    }
  }
  memset(&counts, 0, sizeof counts);
  int depth = start, mines = 0;
  Value[start] = -1;
  while (depth >= start) {
    if (depth == end) {
      if (mines <= kMaxCount) {
        Add(counts, mines);
        for (int place = start; place < end; ++place)
          Add(Value[place] ? MineCounts[place] : SafeCounts[place], mines);
      }
      --depth;
      continue;
    }
    if (Value[depth] >= 0) {
      Apply(depth, -1);
      mines -= Value[depth];
    }
    if (Value[depth] == 1) {
      Value[depth--] = -1;
      continue;
    }
    ++Value[depth];
    if (--budget < 0) return false;
    mines += Value[depth];
    if (Apply(depth, 1) && ++depth < end) Value[depth] = -1;
  }
  return true;
}

// Settles every frontier cell that is the same in all layouts agreeing with the numbers and the
// total; the sea (covered cells next to no number) holds the mines the regions leave, any way.
// False when the budget ran out first.
bool SettleExactly(int budget) {
  FindRegions();
  int low = 0, high = 0;
  for (int region = 0; region < Regions; ++region) {
    const Counts& counts = RegionCounts[region];
    if (!Enumerate(region == 0 ? 0 : RegionEnd[region - 1], RegionEnd[region], RegionCounts[region],
                   budget))
      return false;
    int least = 0, most = kMaxCount;
    while (least <= kMaxCount && !Has(counts, least)) ++least;
    while (most >= 0 && !Has(counts, most)) --most;
    if (most < 0) return true;  // no layout meets these numbers: nothing follows
    low += least;
    high += most;
  }
  int sea = 0, target = Mines;
  for (int g = 0; g < GridCells; ++g) {
    sea += Seen[Grid[g]] == kSeenCovered && Place[Grid[g]] < 0;
    target -= Seen[Grid[g]] == kSeenMine;
  }
  // Unless some regions' counts leave the sea too many or too few mines, the total rules out
  // nothing: each region may take any count it has.
  const bool bound = target - high < 0 || target - low > sea;
  memset(&Before[0], 0, sizeof Before[0]);
  Add(Before[0], 0);
  After[Regions] = Before[0];
  for (int region = 0; region < Regions; ++region)
    Sums(Before[region + 1], Before[region], RegionCounts[region]);
  for (int region = Regions - 1; bound && region >= 0; --region)
    Sums(After[region], RegionCounts[region], After[region + 1]);
  Counts allowed, others;
  memset(&allowed, 0xFF, sizeof allowed);
  for (int region = 0, place = 0; region < Regions; ++region) {
    if (bound) {
      Sums(others, Before[region], After[region + 1]);
      Allowed(allowed, others, target, sea);
    }
    for (; place < RegionEnd[region]; ++place) {
      const bool mine = Meet(MineCounts[place], allowed);
      if (mine != Meet(SafeCounts[place], allowed))
        Prove(Order[place], mine ? kSeenMine : kSeenSafe);
    }
  }
  // The sea's count, whatever the regions hold: a mine in each of its cells if that count may
  // not be 0, none if it may not fall short of the sea.
  Allowed(allowed, Before[Regions], target, 0);
  bool mine = false, safe = false;
  for (int n = 0; n <= sea; ++n) {
    mine = mine || (n > 0 && Has(allowed, n));
    safe = safe || (n < sea && Has(allowed, n));
  }
  for (int g = 0; mine != safe && g < GridCells; ++g)
    if (Seen[Grid[g]] == kSeenCovered && Place[Grid[g]] < 0)
      Prove(Grid[g], mine ? kSeenMine : kSeenSafe);
  return true;
}

// Starts over the local rules: nothing queued; then every number given is.
void ClearQueue() {
  memset(Queued, 0, sizeof Queued);
  QueueHead = QueueCount = 0;
}

int Solve(SolverView& view, bool exactly) {
  TakeGrid(view.columns, view.rows);
  Mines = view.mines;
  Proven = 0;
  ClearQueue();
  for (int g = 0; g < GridCells; ++g) {
    Seen[Grid[g]] = view.cells[Grid[g] / kBoardSide][Grid[g] % kBoardSide];
    Push(Grid[g]);
  }
  RunLocalRules();
  const bool settled = !exactly || SettleExactly(kStepBudget);
  for (int g = 0; g < GridCells; ++g)
    view.cells[Grid[g] / kBoardSide][Grid[g] % kBoardSide] = Seen[Grid[g]];
  return settled ? Proven : kSolverGaveUp;
}

}  // namespace

void SeeBoard(SolverView& view) {
  view.columns = Game.columns;
  view.rows = Game.rows;
  view.mines = Game.totalMines;
  memset(view.cells, kSeenOutside, sizeof view.cells);
  for (int column = 1; column <= Game.columns; ++column) {
    for (int row = 1; row <= Game.rows; ++row) {
      const signed char value = Board[column][row];
      view.cells[column][row] = value == kExplodedMine ? kSeenMine
                                : IsUncovered(value)   ? value
                                                       : kSeenCovered;
    }
  }
}

int SolveView(SolverView& view) {
  return Solve(view, true);
}

int SolveLocally(SolverView& view) {
  return Solve(view, false);
}

// --- The no-guess deal -------------------------------------------------------------------------

namespace {

// The layout being played: its mines and each cell's count of mines around; the cells no mine
// may take (the press and its neighbours, the four corners).
bool Mined[kCells];
signed char Count[kCells];
bool Barred[kCells];
int SafeCells, Uncovered;
int Stack[kCells];
int StackDepth;

bool Near(int a, int b) {
  const int columns = a / kBoardSide - b / kBoardSide, rows = a % kBoardSide - b % kBoardSide;
  return columns >= -1 && columns <= 1 && rows >= -1 && rows <= 1;
}

void Open(int cell) {
  Seen[cell] = Count[cell];
  ++Uncovered;
  Touch(cell);
  if (Count[cell] == 0) Stack[StackDepth++] = cell;
}

// Uncovers a safe cell of the play as a press does: a cell with no mine around opens its
// neighbours, and so on, without recursion.
void Uncover(int cell) {
  StackDepth = 0;
  Open(cell);
  while (StackDepth > 0) {
    const int opened = Stack[--StackDepth];
    for (int step : kSteps)
      if (Seen[opened + step] == kSeenCovered || Seen[opened + step] == kSeenSafe)
        Open(opened + step);
  }
}

// Uncovers every cell proven safe: how many there were, or -1 if one of them was a mine.
int UncoverProven() {
  const int before = Uncovered;
  for (int g = 0; g < GridCells; ++g) {
    if (Seen[Grid[g]] != kSeenSafe) continue;
    if (Mined[Grid[g]]) return -1;
    Uncover(Grid[g]);
  }
  return Uncovered - before;
}

// Plays on from what Seen shows as a player who never guesses: true when every safe cell gets
// uncovered. Stops where nothing more can be proven.
bool PlayOn() {
  while (Uncovered < SafeCells) {
    RunLocalRules();
    int opened = UncoverProven();
    if (opened == 0 && SettleExactly(kDealStepBudget)) opened = UncoverProven();
    if (opened <= 0) return false;
  }
  return true;
}

// Plays the layout from the press, all else covered.
bool Replay(int press) {
  for (int g = 0; g < GridCells; ++g) Seen[Grid[g]] = kSeenCovered;
  ClearQueue();
  Uncovered = 0;
  Uncover(press);
  return PlayOn();
}

// Set when a mine moved onto an uncovered cell: the play so far no longer fits the layout.
bool Stale;

// Places or takes away a mine. The play so far goes on with the numbers around it as they now
// read; a proven mine taken away is covered again.
void SetMine(int cell, bool mine) {
  Mined[cell] = mine;
  Stale = Stale || (mine && IsNumber(Seen[cell]));
  if (!mine && Seen[cell] == kSeenMine) Seen[cell] = kSeenCovered;
  for (int step : kSteps) {
    Count[cell + step] = static_cast<signed char>(Count[cell + step] + (mine ? 1 : -1));
    if (IsNumber(Seen[cell + step])) Seen[cell + step] = Count[cell + step];
  }
  Touch(cell);
}

// The layout on the Board: mines, flagged or not.
void TakeLayout() {
  memset(Mined, 0, sizeof Mined);
  memset(Count, 0, sizeof Count);
  SafeCells = GridCells;
  for (int g = 0; g < GridCells; ++g) {
    const signed char value = Board[Grid[g] / kBoardSide][Grid[g] % kBoardSide];
    if (value != kCoveredMine && value != kFlaggedMine && value != kExplodedMine) continue;
    SetMine(Grid[g], true);
    --SafeCells;
  }
  Mines = GridCells - SafeCells;
}

// One of n (n > 0), from two draws.
int Pick(DealGenerator& generator, int n) {
  const uint32_t high = static_cast<uint32_t>(NextDraw(generator));
  return static_cast<int>((high << 15 | static_cast<uint32_t>(NextDraw(generator))) %
                          static_cast<uint32_t>(n));
}

// Moves a mine to a free cell away from the 3 x 3 block around `keepClear`: one that no number
// sees if there is one, else any covered one, else any cell that is not barred.
void MoveMine(int from, int keepClear, DealGenerator& generator) {
  for (int kind = 0; kind < 3; ++kind) {
    int found = 0;
    for (int g = 0; g < GridCells; ++g) {
      const int cell = Grid[g];
      if (Mined[cell] || Barred[cell] || Near(cell, keepClear)) continue;
      if (kind == 2 || (Seen[cell] == kSeenCovered && (kind == 1 || !NextToNumber(cell))))
        Stack[found++] = cell;
    }
    if (found == 0) continue;
    SetMine(from, false);
    SetMine(Stack[Pick(generator, found)], true);
    return;
  }
}

// Where the play stuck: a covered cell next to a number that nothing proves, at random; the
// number beside it with the fewest mines still to find loses them all, so that the play goes on
// from its cells. Where no such cell is left, the covered cells lie behind proven mines: one of
// those mines moves away.
void Perturb(DealGenerator& generator) {
  int found = 0;
  for (int g = 0; g < GridCells; ++g)
    if (Seen[Grid[g]] == kSeenCovered && NextToNumber(Grid[g])) Stack[found++] = Grid[g];
  if (found > 0) {
    const int cell = Stack[Pick(generator, found)];
    int number = 0, least = 9;
    Around around;
    for (int step : kSteps) {
      if (!IsNumber(Seen[cell + step])) continue;
      Look(cell + step, around);
      if (around.need < least) least = around.need, number = cell + step;
    }
    Look(number, around);
    for (int i = 0; i < around.count; ++i)
      if (Mined[around.cells[i]]) MoveMine(around.cells[i], number, generator);
    return;
  }
  for (int g = 0; g < GridCells; ++g) {
    bool touchesCovered = false;
    for (int step : kSteps) touchesCovered = touchesCovered || Seen[Grid[g] + step] == kSeenCovered;
    if (Seen[Grid[g]] == kSeenMine && touchesCovered) Stack[found++] = Grid[g];
  }
  if (found == 0) return;
  const int mine = Stack[Pick(generator, found)];
  MoveMine(mine, mine, generator);
}

// Rounds of change and play a deal may take before it gives up.
constexpr int kMaxRounds = 10000;

}  // namespace

bool DealNoGuessLayout(uint32_t seed, int column, int row) {
  TakeGrid(Game.columns, Game.rows);
  const int press = column * kBoardSide + row;
  int free = 0;
  for (int g = 0; g < GridCells; ++g) {
    const int cell = Grid[g];
    Barred[cell] = Near(cell, press) || g == 0 || g == Rows - 1 || g == GridCells - Rows ||
                   g == GridCells - 1;  // the corners
    free += !Barred[cell];
  }
  // Placed at random as the plain deal does (the draw k is the k-th cell column by column), from
  // a generator of its own seeded by the deal's seed and the press.
  memset(Board, 0, sizeof Board);
  DealGenerator generator;
  SeedGenerator(generator, seed ^ static_cast<uint32_t>(PackCell(column, row)) * 2654435761u);
  for (int placed = 0; placed < Game.totalMines && placed < free;) {
    const int cell = Grid[NextDraw(generator) % GridCells];
    signed char& value = Board[cell / kBoardSide][cell % kBoardSide];
    if (value == kCoveredMine || Barred[cell]) continue;
    value = kCoveredMine;
    ++placed;
  }
  TakeLayout();
  // Each change of the layout is played on from where the play stuck, and only a play from the
  // press alone, all else covered, settles it: the play on may know what that one cannot prove.
  bool solved = Replay(press);
  for (int round = 0; !solved && round < kMaxRounds; ++round) {
    Stale = false;
    Perturb(generator);
    solved = (Stale || PlayOn()) && Replay(press);
  }
  for (int g = 0; g < GridCells; ++g)
    Board[Grid[g] / kBoardSide][Grid[g] % kBoardSide] = Mined[Grid[g]] ? kCoveredMine : 0;
  return solved;
}

bool SolvesFromPress(int column, int row) {
  TakeGrid(Game.columns, Game.rows);
  TakeLayout();
  const int press = column * kBoardSide + row;
  return column >= 1 && column <= Columns && row >= 1 && row <= Rows && !Mined[press] &&
         Replay(press);
}

// solver.h: what a player can prove about the covered cells from what the grid shows, and the
// no-guess deal built on it. Portable: no window system here.
#pragma once

#include <cstdint>

#include "game/game.h"

// What the solver is shown and what it proves, cell by cell, indexed [column][row] as the Board.
// A covered cell is kSeenCovered whether or not it carries a flag: flags are not trusted.
constexpr signed char kSeenMine = -3;     // covered, a mine in every layout agreeing with the view
constexpr signed char kSeenSafe = -2;     // covered, free of mines in every such layout
constexpr signed char kSeenCovered = -1;  // covered, nothing proven
// 0 to 8: uncovered, showing that many mines around
constexpr signed char kSeenOutside = 9;  // the border and everything past the grid

struct SolverView {
  int32_t columns;
  int32_t rows;
  int32_t mines;  // the total on the grid, which the player is told
  signed char cells[kBoardSide][kBoardSide];
};

// What a player sees of the Board now: covered and flagged cells covered, uncovered numbers as
// they show, an exploded mine as a known mine.
void SeeBoard(SolverView& view);

// Proves every covered cell that is safe in all layouts agreeing with the numbers shown and the
// total, and every one that is a mine in all of them, marking it kSeenSafe or kSeenMine; cells
// already marked count as known. Rules between one or two numbers come first; what they leave is
// settled exactly, frontier region by region with the total. Gives the number of cells proven,
// or kSolverGaveUp when a region took more steps than the solver allows itself (what it had
// proven then is marked and sound, but it may have missed some).
int SolveView(SolverView& view);
// The same with the local rules alone: sound, quick, not complete.
int SolveLocally(SolverView& view);
constexpr int kSolverGaveUp = -1;

// The no-guess deal. Game.columns, rows and totalMines as dealt; the layout is written to the
// Board as mines (kCoveredMine) and zeros, for EncodeNeighbours. The press (column, row) and its
// neighbours get no mine, nor the four corners; from the opening that press makes, SolveView can
// uncover every safe cell. The layout depends only on the seed, the press and the grid. False
// when no such layout was found within the rounds allowed (never seen): the layout then only
// keeps the press free.
bool DealNoGuessLayout(uint32_t seed, int column, int row);

// Plays the Board's layout (mines kCoveredMine, anything else safe) from a press as a player who
// never guesses: true when every safe cell gets uncovered. For tests and benchmarks.
bool SolvesFromPress(int column, int row);

// records.cpp: the process-wide records of the game, zero when the program starts.
#include "game/game.h"

signed char Board[kBoardSide][kBoardSide];
int32_t GameState;
GameRecord Game;
SettingsRecord Settings;
ScoreEntry ScoreTable[kScoreEntries];
CursorRecord Cursor;

/* resource_ids.h: every resource, command, control and string id of Torvane, shared by the
   resource script and the code. Plain #defines so that windres can read it too. */
#ifndef TORVANE_RESOURCE_IDS_H
#define TORVANE_RESOURCE_IDS_H

/* Resources */
#define IDI_TORVANE 1
#define IDR_MAIN_MENU 128
#define IDR_ACCELERATORS 129
#define IDD_ABOUT 130
#define IDD_CONGRATULATION 150
#define IDD_BEST_SCORES 200
#define IDD_NAME 300
#define IDD_SETTINGS 550
#define IDD_STATISTICS 700
#define IDV_VERSION 1

/* Commands: Game menu */
#define IDM_NEW_GAME 100
#define IDM_SEE_SOLUTION 101
#define IDM_UNDO 102
#define IDM_QUIT 103
#define IDM_NOTHING 104 /* F3: bound, served by nobody */
#define IDM_STATISTICS 105
#define IDM_HINT 106 /* last of the Game menu; also the H key */
/* Commands: Options menu */
#define IDM_SETTINGS 200
#define IDM_BEST_SCORES 201
#define IDM_LANGUAGE 202
#define IDM_NO_GUESS 203 /* checkable, last of the Options menu */
/* Commands: Help menu */
#define IDM_ABOUT 300
#define IDM_HELP 301

/* Controls shared by every dialog */
#define IDC_OK 128
#define IDC_CANCEL 129
#define IDC_UNUSED (-1) /* stored as 65535: a control nobody addresses */
/* About 130 */
#define IDC_ABOUT_NAME 131
#define IDC_ABOUT_CONTACT 132
/* Congratulation 150 */
#define IDC_CONGRATULATION_TEXT 151
/* Best scores 200 */
#define IDC_SCORE_LIST 201
#define IDC_SCORE_CLEAR 202
/* Name 300 */
#define IDC_NAME_EDIT 301
/* Settings 550 */
#define IDC_GRID_GROUP 551
#define IDC_GRID_EDIT 552
#define IDC_GRID_LABEL 553
#define IDC_GRID_SPIN 554
#define IDC_SIZE_GROUP 555
#define IDC_SIZE_15 556
#define IDC_SIZE_18 557
#define IDC_SIZE_21 558
#define IDC_LEVEL_GROUP 559
#define IDC_LEVEL_HARD 560
#define IDC_LEVEL_MEDIUM 561
#define IDC_LEVEL_EASY 562
#define IDC_SOUND 563
/* Statistics 700: the figures are made at run time, a row of statics per difficulty: the row's
   label at IDC_STATS_ROW + IDC_STATS_ROW_STEP * category, its figures at the next six ids; the
   column heads above them (the first over the labels) likewise from IDC_STATS_HEAD. */
#define IDC_STATS_RESET 701
#define IDC_STATS_HEAD 702
#define IDC_STATS_NO_GUESS 709 /* over the rows of the games dealt without guessing */
#define IDC_STATS_ROW 710
#define IDC_STATS_ROW_STEP 10
/* Main window */
#define IDC_STATUS_BAR 11100
#define CLOCK_TIMER_ID 1

/* Tile bitmaps: base of the size plus the tile's offset */
#define TILE_BASE_15 100
#define TILE_BASE_18 200
#define TILE_BASE_21 300
#define TILE_NUMBER_1 1 /* numbers 1 to 8 at offsets 1 to 8 */
#define TILE_NUMBER_8 8
#define TILE_EMPTY 9
#define TILE_COVERED 10
#define TILE_FLAG 11
#define TILE_WRONG_FLAG 12
#define TILE_MINE 13
#define TILE_EXPLODED 14
#define TILE_COUNT 14

/* Sounds: effect n (SoundEffect, game/seam.h) plays WAVE resource SOUND_BASE + n. */
#define SOUND_BASE 3030

/* Strings: French ids; English at id + ENGLISH_OFFSET */
#define ENGLISH_OFFSET 1000
#define IDS_MENU_GAME 400
#define IDS_MENU_OPTIONS 401
#define IDS_MENU_HELP 402
#define IDS_NEW_GAME 410
#define IDS_SEE_SOLUTION 411
#define IDS_UNDO 412
#define IDS_QUIT 413
#define IDS_SETTINGS 420
#define IDS_BEST_SCORES 421
#define IDS_LANGUAGE 422
#define IDS_ABOUT 430
#define IDS_HELP 431
#define IDS_ABOUT_NAME 450
#define IDS_ABOUT_CONTACT 451
#define IDS_CONGRATULATION_TITLE 480
#define IDS_NAME_TITLE 481
#define IDS_MAIN_TITLE 482
#define IDS_SETTINGS_TITLE 489
#define IDS_SIZE_GROUP 490
#define IDS_GRID_LABEL 491
#define IDS_GRID_GROUP 492
#define IDS_SIZE_15 493
#define IDS_SIZE_18 494
#define IDS_SIZE_21 495
#define IDS_LEVEL_GROUP 496
#define IDS_LEVEL_HARD 497
#define IDS_LEVEL_MEDIUM 498
#define IDS_LEVEL_EASY 499
#define IDS_CAPTION 500
#define IDS_KEY_RATIO 501
#define IDS_KEY_GRID 502
#define IDS_KEY_LANG 503
#define IDS_TIME 504
#define IDS_MINES 505
#define IDS_UNDOS 506
#define IDS_JOKERS 507
#define IDS_BEST_SCORES_TITLE 508
#define IDS_CONGRATULATION_TEXT 509
#define IDS_OK 515
#define IDS_CANCEL 516
#define IDS_NAME 517
#define IDS_CLEAR_SCORES 518
#define IDS_KEY_SIZE 519
#define IDS_KEY_SOUND 520
#define IDS_SOUND 521
#define IDS_HELP_PAGE_FAILED 530 /* the help page that the shell could not open: %s its path */
/* Strings for screen readers: a cell's place and default action, and what it shows, by the
   shown tile's offset: IDS_TILE_TEXT_BASE + 1 to 8 the numbers, ... + 14 the exploded mine. */
#define IDS_CELL_NAME 540
#define IDS_CELL_ACTION 541
#define IDS_TILE_TEXT_BASE 550
#define IDS_TILE_TEXT_1 551
#define IDS_TILE_TEXT_2 552
#define IDS_TILE_TEXT_3 553
#define IDS_TILE_TEXT_4 554
#define IDS_TILE_TEXT_5 555
#define IDS_TILE_TEXT_6 556
#define IDS_TILE_TEXT_7 557
#define IDS_TILE_TEXT_8 558
#define IDS_TILE_TEXT_EMPTY 559
#define IDS_TILE_TEXT_COVERED 560
#define IDS_TILE_TEXT_FLAG 561
#define IDS_TILE_TEXT_WRONG_FLAG 562
#define IDS_TILE_TEXT_MINE 563
#define IDS_TILE_TEXT_EXPLODED 564
/* More for screen readers: the chord as a cell's default action, and the grid's description, the
   state of a game that no longer takes a move. */
#define IDS_CELL_CHORD 570
#define IDS_GRID_WAITING_UNDO 571
#define IDS_GRID_NO_UNDO_LEFT 572
#define IDS_GRID_WON 573
#define IDS_GRID_SOLUTION 574
/* Why the help page did not open, where the shell says: %s its path. */
#define IDS_HELP_PAGE_MISSING 590
#define IDS_HELP_NO_BROWSER 591
/* Strings: the keys of the settings file's extra lines, after its 29 lines */
#define IDS_KEY_NO_GUESS 600
/* Strings: the no-guess games and the hint */
#define IDS_HINT 601
#define IDS_NO_GUESS 602
#define IDS_HINT_MINE 603    /* the status text beside the undos when the hint's cell is a mine */
#define IDS_GUESS_NEEDED 604 /* the message when nothing can be proven */
/* Strings: the statistics: the menu item, the dialog, and the keys of their extra lines, one a
   category (easy, medium, hard, then the same without guessing) */
#define IDS_STATISTICS 630
#define IDS_STATS_TITLE 631
#define IDS_STATS_RESET 632
#define IDS_STATS_CONFIRM 633
#define IDS_STATS_NO_GUESS 634
#define IDS_STATS_PLAYED 635 /* the column heads, in the order of the figures */
#define IDS_STATS_WON 636
#define IDS_STATS_RATE 637
#define IDS_STATS_STREAK 638
#define IDS_STATS_LONGEST 639
#define IDS_STATS_CLEAN 640
#define IDS_STATS_RATE_VALUE 641 /* %d: the share of games won, in percent */
#define IDS_STATS_WINS 642       /* %d: the games won in a row */
#define IDS_STATS_LOSSES 643     /* %d: the games lost in a row */
#define IDS_KEY_STATISTICS 650
/* A system DLL loaded at its first need that is missing: %s the DLL, %s the function. */
#define IDS_DLL_MISSING 660

#endif

// text_test.cpp: LoadText in both languages against the texts written out again, its one
// buffer, ids and offsets outside the table.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "res/resource_ids.h"
#include "res/string_table.h"
#include "res/text.h"

namespace {

// Every text as the players read it, in Windows-1252 (octal escapes where a hex one would run
// on into the next letter); null: no text in that language.
const struct {
  int id;
  const char* french;
  const char* english;
} kReference[] = {
    {400, "&Partie", "&Game"},
    {401, "&Options", "&Options"},
    {402, "&Aide", "&Help"},
    {410, "Nouvelle partie\tF2", "New Game\tF2"},
    {411, "Voir solution", "See Solution"},
    {412, "Annuler dernier coup", "Undo last move"},
    {413, "Quitter", "Quit"},
    {420, "Param\xE8tres", "Settings"},
    {421, "Afficher scores", "Display scores"},
    {422, "English", "Fran\347ais"},
    {430, "A propos du Torvane", "About the Torvane"},
    {431, "Aide", "Help"},
    {450, "Torvane\nVersion 1.1", "Torvane\nVersion 1.1"},
    {451,
     "Un jeu de l'Atelier Vireloup\nJeux et petits utilitaires\n\nVos remarques sont les "
     "bienvenues :\nvireloup@example.org",
     "A game from Atelier Vireloup\nGames and small utilities\n\nYour comments are "
     "welcome:\nvireloup@example.org"},
    {480, "Bravo !!", "Congratulations!!"},
    {481, "Veuillez indiquer votre nom", "Please enter your name:"},
    {482, "Torvane", "Torvane"},
    {489, "Param\xE9trage de la grille de jeu", "Game Grid Settings"},
    {490, "Taille des pi\350ces", "Size of stones"},
    {491, "Colonnes/rang\351es", "# Columns/Rows"},
    {492, "Taille de la grille", nullptr},
    {493, "15 pixels", "15 pixels"},
    {494, "18 pixels", "18 pixels"},
    {495, "21 pixels", "21 pixels"},
    {496, "Degr\xE9 de difficult\xE9", "Difficulty"},
    {497, "Difficile", "Hard"},
    {498, "Moyen", "Medium"},
    {499, "Facile", "Easy"},
    {500, "Torvane - Atelier Vireloup", "Torvane - Atelier Vireloup"},
    {501, "ratio=%d", "ratio=%d"},
    {502, "grille=%d", "grid=%d"},
    {503, "lang=%d", "lang=%d"},
    {504, "Temps", "Time"},
    {505, "Mines", "Mines"},
    {506, "Annulations", "Undos"},
    {507, nullptr, "Jokers"},
    {508, "Meilleurs scores", "Best Scores"},
    {509,
     "Bravo,\n\nvous avez r\xE9solu cette grille %dx%d\n(avec %d mines)\nen %02d'%02d\".\nVotre "
     "score est de %d points.",
     "Congratulations,\n\nyou solved this %dx%d grid\n(with %d mines)\nin %02d' %02d\"\nYou "
     "scored %d points."},
    {515, "OK", "OK"},
    {516, "Annuler", "Cancel"},
    {517, "Torvane", "Torvane"},
    {518, "Effacer les scores", "Reset scores"},
    {519, "larg=%d", "size=%d"},
    {520, "sons=%d", "sound=%d"},
    {521, "Effets sonores", "Sound effects"},
    {530,
     "La page d'aide n'a pas pu \352tre ouverte :\n%s\n\nV\351rifiez que ce fichier se trouve "
     "\340 c\364t\351 du programme et qu'un navigateur web est install\351.",
     "The help page could not be opened:\n%s\n\nCheck that this file lies beside the program and "
     "that a web browser is installed."},
    {540, "Colonne %d, rang\351e %d", "Column %d, row %d"},
    {541, "D\351couvrir", "Uncover"},
    {551, "1 mine autour", "1 mine around"},
    {552, "2 mines autour", "2 mines around"},
    {553, "3 mines autour", "3 mines around"},
    {554, "4 mines autour", "4 mines around"},
    {555, "5 mines autour", "5 mines around"},
    {556, "6 mines autour", "6 mines around"},
    {557, "7 mines autour", "7 mines around"},
    {558, "8 mines autour", "8 mines around"},
    {559, "vide", "empty"},
    {560, "couverte", "covered"},
    {561, "drapeau", "flag"},
    {562, "drapeau erron\xE9", "wrong flag"},
    {563, "mine", "mine"},
    {564, "mine explos\351e", "exploded mine"},
    {570, "D\351couvrir autour", "Uncover around"},
    {571, "Mine explos\351e, \311chap pour annuler", "Mine exploded, Esc to undo"},
    {572, "Mine explos\351e, plus d'annulation", "Mine exploded, no undo left"},
    {573, "Partie gagn\351e", "Game won"},
    {574, "Solution affich\351e", "Solution shown"},
    {590, "La page d'aide manque :\n%s\n\nElle doit \352tre \340 c\364t\351 du programme.",
     "The help page is missing:\n%s\n\nIt must lie beside the program."},
    {591, "Aucun programme n'ouvre les pages web :\n%s\n\nInstallez un navigateur web.",
     "No program opens web pages:\n%s\n\nInstall a web browser."},
    {600, "sanshasard=%d", "noguess=%d"},
    {601, "Indice\tH", "Hint\tH"},
    {602, "Parties sans hasard", "No-guess games"},
    {603, "Mine", "Mine"},
    {604,
     "Rien de ce que montre la grille ne prouve qu'une case est s\373re ou min\351e : il faut "
     "deviner.\n\nCet indice n'a pas co\373t\351 d'annulation.",
     "Nothing the grid shows proves a tile safe or mined: a guess is needed.\n\nThis hint cost no "
     "undo."},
    {630, "Statistiques...", "Statistics..."},
    {631, "Statistiques", "Statistics"},
    {632, "&Remettre \340 z\351ro", "&Reset"},
    {633, "Remettre toutes les statistiques \340 z\351ro ?", "Reset all the statistics to zero?"},
    {634, "Parties sans hasard", "No-guess games"},
    {635, "Jou\351es", "Played"},
    {636, "Gagn\351es", "Won"},
    {637, "Taux de r\351ussite", "Win rate"},
    {638, "S\351rie en cours", "Current streak"},
    {639, "Plus longue s\351rie gagnante", "Longest winning streak"},
    {640, "Gagn\351es sans annuler", "Won without undo"},
    {641, "%d %%", "%d%%"},
    {642, "%d gagn\351e(s)", "%d won"},
    {643, "%d perdue(s)", "%d lost"},
    {650, "facile=", "easy="},
    {651, "moyen=", "medium="},
    {652, "difficile=", "hard="},
    {653, "facile.sanshasard=", "easy.noguess="},
    {654, "moyen.sanshasard=", "medium.noguess="},
    {655, "difficile.sanshasard=", "hard.noguess="},
    {660,
     "Il manque \340 Windows %s (ou sa fonction %s), dont cette partie de Torvane a besoin. Le jeu "
     "continue sans elle.",
     "Windows is missing %s (or its function %s), which this part of Torvane needs. The game goes "
     "on without it."},
};

// LanguageOffset is process-wide: every test leaves it French.
class TextTest : public ::testing::Test {
 protected:
  void TearDown() override { LanguageOffset = 0; }
};

// Each id in turn, after a text in the buffer that a missing one must not leave behind.
TEST_F(TextTest, EveryIdGivesItsTextInEachLanguageAndNoOtherTextExists) {
  size_t next = 0;
  int texts = 0;
  for (int id = 400; id < ENGLISH_OFFSET; ++id) {
    const bool listed =
        next < sizeof kReference / sizeof kReference[0] && kReference[next].id == id;
    const char* french = listed && kReference[next].french ? kReference[next].french : "";
    const char* english = listed && kReference[next].english ? kReference[next].english : "";
    next += listed;
    texts += (*french != 0) + (*english != 0);
    const struct {
      int32_t offset, full;
      const char* text;
    } reads[] = {{0, id, french}, {0, id + ENGLISH_OFFSET, english}, {ENGLISH_OFFSET, id, english}};
    for (const auto& read : reads) {
      LanguageOffset = read.offset;
      LoadText(IDS_SETTINGS);
      EXPECT_STREQ(read.text, LoadText(read.full)) << read.full << " offset " << read.offset;
    }
  }
  int table = 0;
  for (int i = 0; i < kStringCount; ++i) {
    const char* text = kStringTable[i].text;
    table += text != nullptr;
    // LoadStringA keeps at most 511 characters in the program's buffer.
    EXPECT_LT(text ? strlen(text) : 0, static_cast<size_t>(kTextBufferSize)) << kStringTable[i].id;
  }
  EXPECT_EQ(texts, table) << "texts outside 400..999 and 1400..1999";
}

TEST_F(TextTest, IdsAndOffsetsOutsideTheTableGiveNothing) {
  const int ids[] = {0, -1, 399, 403, 522, 1399, 1522, 65536 + 400, INT32_MIN, INT32_MAX};
  for (int id : ids) EXPECT_STREQ("", LoadText(id)) << id;
  // A wild offset (a damaged settings file) must neither wrap onto a text nor overflow.
  for (int32_t offset : {INT32_MAX, INT32_MIN, -400, 65536}) {
    LanguageOffset = offset;
    EXPECT_STREQ("", LoadText(IDS_MENU_GAME)) << offset;
  }
}

TEST_F(TextTest, EachCallOverwritesTheOneBuffer) {
  const char* first = LoadText(IDS_CONGRATULATION_TEXT);
  EXPECT_EQ(first, LoadText(IDS_OK));
  EXPECT_STREQ("OK", first);
  EXPECT_EQ(first, LoadText(IDS_MENU_HELP));
  EXPECT_STREQ("&Aide", first);
  EXPECT_EQ(first, LoadText(IDS_JOKERS));
  EXPECT_STREQ("", first);
}

}  // namespace

// expected_texts.cpp: every text of both languages, as the players read them.
#include "tests/res/expected_texts.h"

const ExpectedText kExpectedTexts[] = {
    {400, "&Partie", "&Game"},
    {401, "&Options", "&Options"},
    {402, "&Aide", "&Help"},
    {410, "Nouvelle partie\tF2", "New Game\tF2"},
    {411, "Voir solution", "See Solution"},
    {412, "Annuler dernier coup", "Undo last move"},
    {413, "Quitter", "Quit"},
    {420, "Paramètres", "Settings"},
    {421, "Afficher scores", "Display scores"},
    {422, "English", "Français"},
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
    {489, "Paramétrage de la grille de jeu", "Game Grid Settings"},
    {490, "Taille des pièces", "Size of stones"},
    {491, "Colonnes/rangées", "# Columns/Rows"},
    {492, "Taille de la grille", nullptr},
    {493, "15 pixels", "15 pixels"},
    {494, "18 pixels", "18 pixels"},
    {495, "21 pixels", "21 pixels"},
    {496, "Degré de difficulté", "Difficulty"},
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
     "Bravo,\n\nvous avez résolu cette grille %dx%d\n(avec %d mines)\nen %02d'%02d\".\nVotre "
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
};
const int kExpectedTextCount = sizeof kExpectedTexts / sizeof kExpectedTexts[0];

const ExpectedText* FindExpectedText(int id) {
  for (const ExpectedText& text : kExpectedTexts)
    if (text.id == id) return &text;
  return nullptr;
}

bool Utf8ToCp1252(const char* utf8, std::string* cp1252) {
  cp1252->clear();
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p != 0; ++p) {
    if (*p < 0x80) {
      cp1252->push_back(static_cast<char>(*p));
    } else if ((*p == 0xC2 || *p == 0xC3) && (p[1] & 0xC0) == 0x80) {
      // U+0080..U+00FF; Windows-1252 agrees with Latin-1 from U+00A0 on.
      unsigned code = ((*p & 0x1Fu) << 6) | (p[1] & 0x3Fu);
      if (code < 0xA0) return false;
      cp1252->push_back(static_cast<char>(code));
      ++p;
    } else {
      return false;
    }
  }
  return true;
}

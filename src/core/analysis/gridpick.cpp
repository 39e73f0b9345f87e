#include "analysis/gridpick.h"

#include "game/game.h"

namespace quintar {

void TNumberPick::Add(const std::string& word) {
  const int n = NumberFromText(word);
  const TStatKey key = MakeKey(n);
  for (const TStatDraw& v : Numbers)
    if (v.Key == key) return;
  TStatDraw v;
  v.Key = key;
  Numbers.push_back(v);
  if (!Text.empty()) Text += "; ";
  Text += word;
}

}  // namespace quintar

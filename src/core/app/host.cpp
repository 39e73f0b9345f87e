#include "app/host.h"

#include <cstdio>

#include "util/format.h"

namespace quintar {

const char* MsgCaption(MsgKind kind) {
  switch (kind) {
    case MsgKind::Error: return "Ошибка";
    case MsgKind::Information: return "Информация";
    case MsgKind::Attention: return "Внимание!";
    case MsgKind::Warning: return "Предупреждение";
  }
  return "";
}

std::string DeleteRowsQuestion(int rows) {
  if (rows <= 1) return "Удалить выделенную запись?";
  return Format("Удалить все выделенные записи (всего будет удалено %d записи(ей))?", {rows});
}

std::string CrToNewlines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void ConsoleHost::ShowStatus(const std::string& text) {
  if (verbose && !text.empty()) std::fprintf(stderr, "%s\n", text.c_str());
}

void ConsoleHost::ShowMessage(MsgKind kind, const std::string& text) {
  (void)kind;
  std::fprintf(stderr, "%s\n", CrToNewlines(text).c_str());
}

bool ConsoleHost::Ask(AskKind, const std::string& text) {
  if (verbose) std::fprintf(stderr, "%s %s\n", CrToNewlines(text).c_str(), answer_ ? "[да]" : "[нет]");
  return answer_;
}

}  // namespace quintar

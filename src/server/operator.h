// The operator's one-shot commands on a catalogue database; safe while a server runs on the same file (each
// change is one transaction that counts the generation up, so the server reloads its lists).
#pragma once

#include <cstdio>
#include <string>

namespace quintar::catalogue {

struct OperatorCommand {
  enum Kind { None, List, Remove, SetOwner, Backup };
  Kind kind = None;
  bool systems = false;  // the entries are systems (else scripts)
  int id = 0;
  std::string mail, hwdid;  // SetOwner
  std::string file;         // Backup
};

// Runs the command; prints what it did to out, or a message to err. Answers the exit status (0 or 1).
int RunOperatorCommand(const std::string& dbPath, const OperatorCommand& cmd, std::FILE* out, std::FILE* err);

}  // namespace quintar::catalogue

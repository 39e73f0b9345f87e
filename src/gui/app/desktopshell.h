// What the desktop program hands to the desktop: links, the help file, a restart of itself, and the
// wait for a previous copy of itself to end.
#pragma once

#include <QString>
#include <functional>
#include <string>

namespace quintar::gui {

// Opens a web address (a text without a scheme is taken as an http address) with the desktop's handler.
// Raises when the desktop cannot open it.
void OpenLink(const std::string& text);
// Opens the help file with the desktop's handler for its type; topic is ignored for files that are
// not compiled help. Raises when the desktop cannot open it.
void OpenHelpFile(const std::string& file, const std::string& topic = "");

// Starts the program again with "restart" (and the same data folder) from the program's folder, without
// waiting for it. Raises with the system's error text when it cannot be started.
void StartProgramAgain(const std::string& programPath, const std::string& dataDir);

// Waits while another copy of the program runs: up to 601 checks 100 ms apart, processing events meanwhile.
// Returns false when it still runs afterwards (or when stop() asks to give up).
bool WaitForPreviousInstance(const std::string& programPath, const std::function<bool()>& stop = {});

}  // namespace quintar::gui

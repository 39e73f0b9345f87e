// Quintar_7x35: the desktop program.
#include "app/desktop.h"

int main(int argc, char** argv) { return quintar::gui::RunDesktop(argc, argv); }

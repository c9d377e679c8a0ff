// Tavorin's start-up routine. It checks
// Default.ini, places the main window, shows the splash and the board window and
// opens the file named on the command line.
#pragma once

// The program's entry once the application object exists.
void Main();

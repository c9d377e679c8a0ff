// Tavorin's start-up routine: the one place that knows every window. It checks
// Default.ini, places the main window, shows the splash and the board window and
// opens the file named on the command line.
#pragma once

// The program's entry once the application object exists.
void Main();

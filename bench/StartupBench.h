#pragma once

// The program's start-up to the first shown main window, as a whole process: a child process of this
// benchmark starts the application as the program does (owner window, settings, collection, panes) and
// says when its window is on screen. Measured with a collection of `items` entries against an empty one.
// Returns false when the probe could not be set up.
bool runStartupBench(int items);

// The child's side: `--startup-probe` on the command line. Returns the exit status.
int runStartupProbe(int argc, char **argv);

#pragma once

// The program's entry: one running copy per user, handing over to the running one on a second start;
// no command-line argument is read.
int RunQuillmark(int argc, char **argv);

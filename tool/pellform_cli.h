// The tool's commands, apart from the program's entry, so a test build can run
// them in its own process.
#ifndef PELLFORM_PELLFORM_CLI_H
#define PELLFORM_PELLFORM_CLI_H

// Runs one command line (UTF-8 words, argv[0] the program's) and returns the
// exit status. Exceptions pass through: the caller is the edge that stops them.
int RunTool(int argc, char** argv);

#endif

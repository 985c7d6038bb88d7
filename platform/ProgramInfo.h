#pragma once
// --help and --version, answered before a program opens any window, so they work without a
// display (in a terminal over ssh, in a package's post-install check).

// The package's version, as the build was configured.
const char* PackageVersion();

// When the command line asks for --help or --version, prints the answer on standard output and
// returns the exit code (0); otherwise returns -1 and the program starts as usual.
// `usage` is the text after "usage: ", one or more lines ending in a newline.
int AnswerInfoOptions(int argc, char** argv, const char* program, const char* usage);

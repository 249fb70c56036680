// Writing one generated asset into the output directory named on a generator's command line.
// Every generator takes exactly one argument, the directory, and writes its files there.
#pragma once
#include <cstdint>
#include <span>

// Returns the directory from argv, or null after printing the usage line.
const char* output_directory(int argc, char** argv);

// Writes bytes to directory/name; prints the reason and returns false on failure.
bool write_output(const char* directory, const char* name, std::span<const uint8_t> bytes);

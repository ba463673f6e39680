#pragma once
// A stand-in for libGL/libGLU in tests: every GL entry point the project calls is defined here
// and appends a record to a log, so a test can check a frame's calls against what it must draw.
// Float arguments are stored as the floats the code passed (widened exactly to double).
// Link this instead of OpenGL; never both.
#include <cstdint>
#include <string>
#include <vector>

struct GlCall {
    std::string name;               // "glTranslatef", "gluPerspective", ...
    std::vector<double> args;       // numeric arguments in order (pointed-to arrays expanded)
    std::vector<unsigned char> data; // pixel data handed to glTexImage2D
};

namespace glrec {

const std::vector<GlCall>& calls();
void reset();                                          // clears the log and the texture-name counter
std::vector<GlCall> named(const std::string& name);    // the calls with this name, in order
size_t count(const std::string& name);
std::string dump();                                    // one call per line, for failure messages

}  // namespace glrec

// The tests' HTTP server: tests/update/http_answers.py, run by the host's Python on 127.0.0.1 for
// the whole test program and gone with it.
#pragma once

#include <string>

namespace update_testing {

// "http://127.0.0.1:PORT" + path. Starts the server on first use.
std::string ServerUrl(const std::string& path);

// Byte i of every body the server makes up.
std::string Pattern(int size);

}  // namespace update_testing

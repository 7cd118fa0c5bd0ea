// The tests' HTTP server: tests/update/http_answers.py, run by the host's Python on 127.0.0.1 for
// the whole test program and gone with it.
#pragma once

#include <functional>
#include <string>

namespace update_testing {

// "http://127.0.0.1:PORT" + path. Starts the server on first use.
std::string ServerUrl(const std::string& path);

// The folder whose files the server's /site/MODE/ answers serve (see http_answers.py).
std::string SiteFolder();

// Pumps messages until done() or the time is over; done() at the end.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 10000);

// Byte i of every body the server makes up.
std::string Pattern(int size);

}  // namespace update_testing

// The tests' HTTP server: tests/update/http_answers.py, run by the host's Python on 127.0.0.1 for
// the whole test program and gone with it.
#pragma once

#include <functional>
#include <string>

#include "tests/support/wait.h"

namespace update_testing {

// "http://127.0.0.1:PORT" + path. Starts the server on first use.
std::string ServerUrl(const std::string& path);

// The same on a port of the server's host that takes no connection: a connect there waits.
std::string UnacceptingUrl(const std::string& path);
// The connects to that port now waiting, as the host lists them.
std::string ConnectAttempts();
// Waits until a connect to that port waits that is not among before; false after 10 s.
bool WaitForConnectAttempt(const std::string& before);

// The folder whose files the server's /site/MODE/ answers serve (see http_answers.py).
std::string SiteFolder();

// Pumps messages until done() or the time is over; done() at the end.
bool PumpUntil(const std::function<bool()>& done, unsigned long milliseconds = testing_support::kWaitMs);

// Byte i of every body the server makes up.
std::string Pattern(int size);

}  // namespace update_testing

// The search for a name no file has yet, as the program makes names beside older files. It ends: a
// folder full of such names, or a name that every variant of is taken (a device name, say), gives
// a clear error instead of a search without end.
#pragma once

#include <functional>
#include <string>

namespace app {

constexpr int kFreeNameTries = 1000;

// The first of candidate(1) .. candidate(kFreeNameTries) that taken does not claim; empty when
// taken claims them all.
std::string FirstFreeName(const std::function<std::string(int n)>& candidate,
                          const std::function<bool(const std::string& name)>& taken);

// The sentence for a search that found nothing, first being its first candidate.
std::string NoFreeNameText(const std::string& first);

}  // namespace app

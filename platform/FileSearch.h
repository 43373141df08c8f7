// The files of one folder that match a mask, as the editor's folder walks
// ask for them: the mask is the folder followed by a name pattern
// ("<folder>/*.glm", "<folder>/*.gif").
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Whether a file name matches a pattern of literal characters, '*' (any run,
// also empty) and '?' (one character). Letters are compared in any ASCII
// case, so "*.glm" finds "Intro.GLM" whatever case the files were given.
bool MatchesFileMask(std::string_view name, std::string_view pattern);

// The regular files (or links to them) directly in the mask's folder whose
// names match its pattern: the names as the folder holds them, without the
// folder, sorted by their bytes so that every walk sees the same order. None
// when the folder cannot be read; a folder that stops being readable gives
// what was found until then.
std::vector<std::string> FindFiles(const std::string& mask);

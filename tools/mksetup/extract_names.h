// Where an extracted entry may go: below the chosen folder and nowhere else.
#pragma once
#include <string>
#include <vector>

// The folder parts and file name of a stored name, or false with *why when the
// name would leave the folder (a ".." part, an absolute name, a drive letter or
// stream name) or names no file.
bool SafeEntryParts(const std::u16string& stored, std::vector<std::u16string>* parts, std::string* why);

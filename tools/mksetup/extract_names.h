// Where an extracted entry may go: below the chosen folder and nowhere else.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// The folder parts and file name of a stored name, or false with *why when the
// name would leave the folder (a ".." part, an absolute name, a drive letter or
// stream name), names no file, or has a part Windows would not store as
// itself (a device name such as CON or COM1, a trailing dot or space, a
// character Windows does not allow in names). The same name is refused on
// every platform, so an extraction gives the same files everywhere.
bool SafeEntryParts(const std::u16string& stored, std::vector<std::u16string>* parts, std::string* why);

// The path of an entry with those parts below folder.
std::filesystem::path EntryTarget(const std::filesystem::path& folder, const std::vector<std::u16string>& parts);

// mksetup build --add-uninstaller: our UnInst.exe and the list of installed
// files it reads (UnInst.lst), added to the package as its last two entries.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "build_inputs.h"
#include "setup_plan.h"

// The product name exactly as the setup derives it: its own scan over the
// entries' previews, in package order. Empty when no description names one.
std::string ProductNameOf(const std::vector<PackageEntry>& entries);

// UnInst.lst for the entries: the header fields, then every entry the setup
// may install (top-level ones, those of each platform folder, every language)
// with its flat name, size and checksum. False with *error when a file cannot be read.
bool UninstallListText(const SetupPlan& plan, const std::string& productName, std::string* text,
                       std::string* error);

// Refuses (false, *error) a product that has either name already, or no
// product name; else appends both entries to plan->entries.
bool AddUninstaller(const std::filesystem::path& uninstaller, SetupPlan* plan, std::string* error);

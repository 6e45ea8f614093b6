// Helpers of the installer tests: setup files made with the package writer, a
// fresh installer state, and the in-memory dialog read back as plain values.
#pragma once
#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

#include "test_support.h"
#include "model/dialog_model.h"

struct InstallerState;

namespace test {

// A setup file: a stub of zero bytes up to offset 89999, the signature and an
// LZMA package holding the record stream of contents. Fails the test when it cannot.
void WriteSetupFile(const std::string& path, const PackagePlan& contents);

// A zero-filled InstallerState in gState with the English texts, for the
// lifetime of the object; the previous state comes back afterwards.
struct StateScope {
    StateScope();
    ~StateScope();
    StateScope(const StateScope&) = delete;
    StateScope& operator=(const StateScope&) = delete;
    InstallerState* previous;
};

// Sets (or, with nullptr, unsets) an environment variable for the lifetime of
// the object.
struct ScopedEnv {
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    std::string name;
    bool hadValue;
    std::string oldValue;
};

struct RowView {
    std::string text;  // UTF-8
    std::string code;  // the code's letters
    bool ticked;
    bool operator==(const RowView& o) const { return text == o.text && code == o.code && ticked == o.ticked; }
};
std::vector<RowView> Rows(DialogModel* model);
std::string ControlText(DialogModel* model, int32_t id);  // UTF-8
bool Ticked(DialogModel* model, int32_t id);
bool Visible(DialogModel* model, int32_t id);
std::string Caption(DialogModel* model);
// Ticks exactly the rows whose codes are listed.
void TickOnly(DialogModel* model, const std::vector<std::string>& codes);

// Names of the entries of a folder, sorted; "name/" for a folder.
std::vector<std::string> FolderEntries(const std::string& folder);

}  // namespace test

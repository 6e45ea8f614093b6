// A machine of its own for the fault and hostile-setup tests: registry store,
// special folders and a program-files folder inside one temporary folder, the
// setup file beside them, and the whole tree listed so a test can tell that
// nothing was written where it must not be.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "installer/dialog_init.h"
#include "installer/install.h"
#include "state/state.h"
#include "installer_support.h"
#include "system/registry_store.h"
#include "ui/window.h"

namespace test {

class Machine : public ::testing::Test {
protected:
    Machine() {
        Env("SETUP_REGISTRY", root.Join("registry.txt"));
        Env("SETUP_FOLDER_DESKTOP", Folder("desktop"));
        Env("SETUP_FOLDER_COMMON_PROGRAMS", Folder("common"));
        Env("SETUP_FOLDER_PROGRAMS", Folder("programs"));
        Env("SETUP_FOLDER_APPDATA", Folder("appdata"));
        Env("ProgramFiles", Folder("Programs"));
        env.push_back(std::make_unique<ScopedEnv>("SETUP_WINDOWS_DIR", nullptr));
    }

    void Env(const char* name, const std::string& value) {
        env.push_back(std::make_unique<ScopedEnv>(name, value.c_str()));
    }
    std::string Folder(const std::string& name) {
        MakeFolders(root.Join(name));
        return root.Join(name);
    }
    std::string Setup() const { return root.Join("setup.exe"); }
    // The folder the dialog proposes for a first installation of `product`.
    std::string Proposed(const std::string& product) const { return root.Join("Programs/" + product); }
    // The same folder as the dialog shows and the registry remembers it.
    std::string ProposedText(const std::string& product) const { return root.Join("Programs\\" + product); }

    // Writes the setup and opens the dialog on it: texts, scan, proposals.
    std::unique_ptr<DialogModel> OpenDialog(const PackagePlan& contents, int32_t* scanResult = nullptr) {
        WriteSetupFile(Setup(), contents);
        CopyText(U16(Setup()).c_str(), gState->packagePath, 1024);
        auto model = CreateMainDialogModel();
        int32_t result = InitDialogContents(&model->window, nullptr);
        if (scanResult) *scanResult = result;
        else EXPECT_EQ(result, 0);
        return model;
    }

    std::optional<std::string> Registry(RegistryRoot where, const std::string& key, const std::string& name) {
        RegistryKey open;
        if (!OpenRegistryKey(where, U16(key).c_str(), &open)) return std::nullopt;
        char16_t value[1024];
        bool read = ReadRegistryString(&open, U16(name).c_str(), value, sizeof value);
        CloseRegistryKey(&open);
        if (!read) return std::nullopt;
        return Utf8(value);
    }
    std::optional<std::string> Remembered(const std::string& code) {
        return Registry(kCurrentUser, "Software\\Quillworks", code);
    }
    std::optional<std::string> UninstallName(const std::string& product) {
        return Registry(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product,
                        "DisplayName");
    }

    // Every file and folder below the machine's root, relative, sorted; "/" ends a folder.
    std::vector<std::string> Tree() const {
        std::vector<std::string> entries;
        namespace fs = std::filesystem;
        for (const auto& entry : fs::recursive_directory_iterator(root.Path())) {
            std::string relative = fs::relative(entry.path(), root.Path()).string();
            entries.push_back(relative + (entry.is_directory() && !entry.is_symlink() ? "/" : ""));
        }
        std::sort(entries.begin(), entries.end());
        return entries;
    }
    // The entries of Tree() that are shortcut files.
    std::vector<std::string> Links() const {
        std::vector<std::string> links;
        for (const std::string& entry : Tree())
            if (entry.size() > 4 && entry.compare(entry.size() - 4, 4, ".lnk") == 0) links.push_back(entry);
        return links;
    }

    std::vector<std::string> Messages(DialogModel* model) const {
        std::vector<std::string> texts;
        for (const ModelMessage& message : model->messages) texts.push_back(Utf8(message.text));
        return texts;
    }

    TempFolder root;
    std::vector<std::unique_ptr<ScopedEnv>> env;
    StateScope state;
};

}  // namespace test

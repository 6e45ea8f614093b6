// Reading and changing another process's controls from the test driver: the
// list view and the tree view keep their items in the setup's own memory, so
// their structures are placed there.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct RemoteRow {
    std::wstring text;
    LPARAM data = 0;
    UINT stateImage = 0;
};

// Every row of a list view in another process; false when it cannot be read.
bool ReadRemoteRows(HWND list, std::vector<RemoteRow>* rows);
// Sets bits 12 to 15 of a row's state (index -1: every row).
bool SetRemoteRowCheck(HWND list, int index, UINT stateImage);
// A column's header text.
bool ReadRemoteColumnText(HWND list, int column, std::wstring* text);
// The texts from the tree's selected item up to its root, nearest first.
bool ReadRemoteTreeSelection(HWND tree, std::vector<std::wstring>* path);

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

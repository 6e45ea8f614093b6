// The portable in-memory dialog: the controls of the main dialog by id, with
// text, check state and visibility, a language list sorted as the Windows list
// view sorts, and a record of every message box. Used by the tests and by
// `mksetup install`; boxes are answered with OK (and echoed to standard error
// when asked).
#pragma once
#include <stdint.h>
#include <memory>
#include <string>
#include <vector>

#include "ui/window.h"

struct ModelMessage {
    std::u16string text;
    std::u16string title;
    uint32_t style;
};

struct ModelRow {
    std::u16string text;
    uint32_t data;
    uint32_t state;
};

struct ModelControl {
    int32_t id;
    std::u16string text;
    std::string textA;       // last narrow text set (what SetDlgItemTextA gave)
    bool checked = false;
    bool visible = true;
    bool titleFont = false;
    bool isList = false;
    std::vector<ModelRow> rows;
    std::vector<std::u16string> columnTexts;
    std::vector<int32_t> columnWidths;
    int32_t clientWidth = 0;
    uint32_t extendedStyle = 0;
    Window window;           // this control as a Window
};

struct DialogModel {
    Window window;                                   // the dialog itself
    std::u16string caption;
    std::vector<std::unique_ptr<ModelControl>> controls;
    std::vector<ModelMessage> messages;
    bool echoMessages = false;                       // also print boxes to standard error
};

// The main dialog's controls (ids 99, 2, 1001, 1002, 1010, 1031, 1032, 1033,
// 1041, 1042, 1043, 1047) with empty texts, boxes unticked, all visible; the
// list's client width in pixels as given. Becomes the current dialog.
std::unique_ptr<DialogModel> CreateMainDialogModel(bool withLanguageList = true, int32_t listClientWidth = 147);
ModelControl* FindModelControl(DialogModel* model, int32_t id);
// The control layer's ops for model windows.
extern const WindowOps kModelWindowOps;

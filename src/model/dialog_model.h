// The portable in-memory dialog: the controls of the main dialog by id, with
// text, check state and visibility, a language list sorted as the Windows list
// view sorts, and a record of every message box. Used by the tests and by
// `mksetup install`; boxes are answered with OK (and echoed to standard error
// when asked).
#pragma once
#include <stdint.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/window.h"

struct DialogModel;

struct ModelMessage {
    std::u16string text;
    std::u16string title;
    uint32_t style;
};

struct ModelRow {
    std::u16string text;
    uint32_t data;
    uint32_t state;  // bits 12-15: the check box's state image (0 none, 1 unticked, 2 ticked)
};

struct ModelControl {
    int32_t id;
    std::u16string text;
    std::string textA;       // the text in narrow form (exactly the bytes SetItemTextA gave)
    bool checked = false;
    bool visible = true;
    bool enabled = true;
    std::vector<int32_t> positions;  // a progress bar's positions, as they were set
    bool titleFont = false;
    bool isList = false;
    std::vector<ModelRow> rows;  // in list order: ascending by text
    std::vector<std::u16string> columnTexts;
    std::vector<int32_t> columnWidths;
    std::vector<int32_t> columnFormats;
    int32_t clientWidth = 0;
    uint32_t extendedStyle = 0;
    Window window;           // this control as a Window
    DialogModel* dialog = nullptr;
};

struct DialogModel {
    Window window;                                   // the dialog itself
    std::u16string caption;
    std::vector<std::unique_ptr<ModelControl>> controls;
    std::vector<ModelMessage> messages;
    bool echoMessages = false;                       // also print boxes to standard error
    // Told after every change of a control's text (e.g. to follow the status line).
    std::function<void(const ModelControl&)> onTextChanged;
    // Told whenever the logic lets the dialog answer during a long pass.
    std::function<void(const DialogModel&)> onAnswering;
    // A dialog that goes away stops being the current dialog.
    ~DialogModel();
};

// The main dialog's controls (ids 99, 2, 1001, 1002, 1010, 1031, 1032, 1033,
// 1041, 1042, 1043, 1047, 1048) with the template's texts (empty but "..." on 1033),
// boxes unticked, all visible; the list's client width in pixels as given.
// Becomes the current dialog.
std::unique_ptr<DialogModel> CreateMainDialogModel(bool withLanguageList = true, int32_t listClientWidth = 147);
ModelControl* FindModelControl(DialogModel* model, int32_t id);
// The control layer's ops for model windows: the dialog, and its controls.
extern const WindowOps kModelWindowOps;
extern const WindowOps kModelControlOps;

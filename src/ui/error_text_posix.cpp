// English system texts, worded as Windows words them, for the codes the
// installer can meet away from Windows.
#include "common/text.h"
#include "ui/error_text.h"

struct SystemErrorText {
    uint32_t code;
    const char16_t* text;
};

static const SystemErrorText kSystemErrorTexts[] = {
    {1, u"Incorrect function.\r\n"},
    {2, u"The system cannot find the file specified.\r\n"},
    {3, u"The system cannot find the path specified.\r\n"},
    {4, u"The system cannot open the file.\r\n"},
    {5, u"Access is denied.\r\n"},
    {6, u"The handle is invalid.\r\n"},
    {8, u"Not enough memory resources are available to process this command.\r\n"},
    {14, u"Not enough memory resources are available to complete this operation.\r\n"},
    {15, u"The system cannot find the drive specified.\r\n"},
    {19, u"The media is write protected.\r\n"},
    {21, u"The device is not ready.\r\n"},
    {23, u"Data error (cyclic redundancy check).\r\n"},
    {29, u"The system cannot write to the specified device.\r\n"},
    {30, u"The system cannot read from the specified device.\r\n"},
    {32, u"The process cannot access the file because it is being used by another process.\r\n"},
    {33, u"The process cannot access the file because another process has locked a portion of the file.\r\n"},
    {38, u"Reached the end of the file.\r\n"},
    {39, u"The disk is full.\r\n"},
    {80, u"The file exists.\r\n"},
    {82, u"The directory or file cannot be created.\r\n"},
    {87, u"The parameter is incorrect.\r\n"},
    {110, u"The system cannot open the device or file specified.\r\n"},
    {111, u"The file name is too long.\r\n"},
    {112, u"There is not enough space on the disk.\r\n"},
    {123, u"The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {145, u"The directory is not empty.\r\n"},
    {183, u"Cannot create a file when that file already exists.\r\n"},
    {206, u"The filename or extension is too long.\r\n"},
    {267, u"The directory name is invalid.\r\n"},
    {1392, u"The file or directory is corrupted and unreadable.\r\n"},
};

void AppendSystemErrorText(uint32_t code, char16_t* destination, int32_t capacity) {
    for (const SystemErrorText& entry : kSystemErrorTexts) {
        if (entry.code != code) continue;
        AppendText(entry.text, destination, capacity);
        return;
    }
}

// The library's own page configuration dialog: six paper formats and a user-defined page, edited
// on a working copy of the selected printer's record.
#pragma once

#include "dotpress/core/printer_table.h"
#include "platform/os.h"

namespace dotpress {

// The built-in paper formats; the index is the record's paperFormat.
struct PaperFormat {
    const char16_t* text;
    int16_t lines;
    int16_t columns;
};
constexpr int kPaperFormats = 7;
constexpr int kUserDefinedFormat = 6;
constexpr int16_t kDefaultFormat = 1;
extern const PaperFormat kPaperFormatList[kPaperFormats];

// Limits of the user-defined page.
constexpr int16_t kMinLines = 10;
constexpr int16_t kMaxLines = 32;
constexpr int16_t kMinColumns = 10;
constexpr int16_t kMaxColumns = 46;

class PageConfigDialog : public virtual PrinterTable {
public:
    PageConfigDialog() { instance = this; }
    ~PageConfigDialog() {
        if (instance == this) {
            instance = nullptr;
        }
    }

    // Runs the dialog on the selected record, which takes the working copy on "Aceptar".
    int32_t runPageConfig(os::HWND owner);

    PrinterRecord* editedRecord = nullptr; // the working copy while the dialog runs
    static PageConfigDialog* instance;

private:
    static os::INT_PTR OS_CALLBACK dialogProc(os::HWND dialog, os::UINT message, os::WPARAM wParam,
                                              os::LPARAM lParam);
    void openDialog(os::HWND dialog);
    void command(os::HWND dialog, int id, os::WORD code);
    // Takes the number of field `id` (lines or columns), within the limits, into the working copy
    // when it differs from the one the field was given, and shows what was taken.
    void takeChangedField(os::HWND dialog, int id);
    void takeListChoice(os::HWND dialog);
    void refresh(os::HWND dialog);
};

} // namespace dotpress

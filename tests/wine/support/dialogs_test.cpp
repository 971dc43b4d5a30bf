// The dialog driver against Wine's own modal loops: message boxes and the print-to-file prompt.
#include "wine_dialogs.h"
#include "wine_printers.h"

#include <gtest/gtest.h>

namespace {

using namespace winetest;

TEST(Dialogs, MessageBoxIsReadAndAnsweredWithTheGivenButton) {
    struct Case {
        UINT type;
        int answer;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONINFORMATION, IDOK}, {MB_OKCANCEL, IDCANCEL},
        {MB_YESNO | MB_ICONWARNING, IDYES}, {MB_YESNO, IDNO},
        {MB_RETRYCANCEL, IDRETRY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " answer " << c.answer);
        std::wstring text;
        DialogDriver driver({answerMessageBox(c.answer, &text)});
        EXPECT_EQ(MessageBoxW(nullptr, L"\u00bfImprimir la p\u00e1gina?", L"Dotpress", c.type),
                  c.answer);
        EXPECT_EQ(driver.done(), 1u);
        EXPECT_TRUE(driver.unexpected().empty());
        EXPECT_EQ(narrow(text), narrow(L"\u00bfImprimir la p\u00e1gina?"));
    }
}

TEST(Dialogs, DialogsBeyondTheScriptAreDismissedAndReported) {
    struct Case {
        UINT type;
        int result;
    };
    const Case cases[] = {{MB_OKCANCEL, IDCANCEL}, {MB_YESNO, IDNO}, {MB_OK, IDOK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type);
        DialogDriver driver({});
        EXPECT_EQ(MessageBoxW(nullptr, L"sobra", L"Inesperado", c.type), c.result);
        ASSERT_EQ(driver.unexpected().size(), 1u);
        EXPECT_EQ(narrow(driver.unexpected()[0]), "Inesperado");
    }
}

TEST(Dialogs, StepsRunInOrderOneDialogEach) {
    std::wstring first;
    std::wstring second;
    DialogDriver driver({answerMessageBox(IDYES, &first), answerMessageBox(IDNO, &second)});
    EXPECT_EQ(MessageBoxW(nullptr, L"uno", L"Dotpress", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxW(nullptr, L"dos", L"Dotpress", MB_YESNO), IDNO);
    EXPECT_EQ(narrow(first), "uno");
    EXPECT_EQ(narrow(second), "dos");
    EXPECT_EQ(driver.done(), 2u);
}

// A job on port FILE: with no output name asks for a file name: Wine's "Print to File" dialog,
// whose edit control is 201. Answering it sends the job there.
TEST(Dialogs, FilePortAsksForTheFileName) {
    constexpr int kFileNameEdit = 201;
    const std::wstring file = testDir() + L"\\smoke-file-port.ps";
    ASSERT_TRUE(removeFile(file));
    ScopedPrinter printer(L"Dotpress Smoke FILE", L"Generic PS", L"FILE:");
    ASSERT_TRUE(printer.ok());

    HDC dc = CreateDCW(L"WINSPOOL", printer.name().c_str(), nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    bool sawEdit = false;
    DialogDriver driver({[&](HWND dialog) {
        sawEdit = GetDlgItem(dialog, kFileNameEdit) != nullptr;
        setControlText(dialog, kFileNameEdit, file);
        clickButton(dialog, IDOK);
        return true;
    }});
    DOCINFOW doc{sizeof(DOCINFOW), L"file port", nullptr, nullptr, 0};
    EXPECT_GT(StartDocW(dc, &doc), 0);
    StartPage(dc);
    TextOutA(dc, 10, 10, "k", 1);
    EndPage(dc);
    EXPECT_GT(EndDoc(dc), 0);
    DeleteDC(dc);

    EXPECT_EQ(driver.done(), 1u);
    EXPECT_TRUE(sawEdit);
    EXPECT_NE(readFile(file).find("/k glyphshow"), std::string::npos);
}

} // namespace
